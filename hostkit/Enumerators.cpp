#include "hostkit/Enumerators.h"

#include "hostkit/ExpertTexts.h"

#include "contract/BStr.h"
#include "contract/Status.h"

namespace {

constexpr uint32_t kLargestBatch = 16;

bool keptContract(int32_t status, uint32_t fetched, uint32_t asked) {
    return (status == S_OK && fetched == asked) || (status == S_FALSE && fetched < asked);
}

// Strings received in one batch; whatever was not taken is freed on the way
// out, so an exception loses none of them.
struct ReceivedStrings {
    char16_t* items[kLargestBatch] = {};
    ~ReceivedStrings() {
        for (char16_t* item : items) {
            BStrFree(item);
        }
    }
    std::optional<std::u16string> take(uint32_t i) {
        char16_t* item = items[i];
        items[i] = nullptr;
        return takeString(item);
    }
};

} // namespace

std::optional<std::vector<std::u16string>> drainNames(IoxSysEnumStringList* names, uint32_t batch) {
    std::vector<std::u16string> all;
    if (names == nullptr) {
        return all;
    }
    batch = batch == 0 || batch > kLargestBatch ? kLargestBatch : batch;
    for (;;) {
        ReceivedStrings received;
        uint32_t fetched = 0;
        const int32_t status = names->Next(batch, received.items, &fetched);
        if (!keptContract(status, fetched, batch)) {
            return std::nullopt;
        }
        for (uint32_t i = 0; i < fetched; ++i) {
            std::optional<std::u16string> name = received.take(i);
            if (!name) {
                return std::nullopt;
            }
            all.push_back(std::move(*name));
        }
        if (status == S_FALSE) {
            return all;
        }
    }
}

std::optional<std::vector<uint32_t>> drainTags(IoxSysEnumPropertyTag* tags, uint32_t batch) {
    std::vector<uint32_t> all;
    if (tags == nullptr) {
        return all;
    }
    batch = batch == 0 || batch > kLargestBatch ? kLargestBatch : batch;
    for (;;) {
        uint32_t received[kLargestBatch] = {};
        uint32_t fetched = 0;
        const int32_t status = tags->Next(batch, received, &fetched);
        if (!keptContract(status, fetched, batch)) {
            return std::nullopt;
        }
        all.insert(all.end(), received, received + fetched);
        if (status == S_FALSE) {
            return all;
        }
    }
}
