#include "expert/fuzz/HostStrings.h"

#include "expert/fuzz/Require.h"
#include "contract/BStr.h"
#include "contract/Status.h"

namespace expertfuzz {

std::u16string takeString(char16_t* text) {
    KR_FUZZ_REQUIRE(text != nullptr);
    std::u16string copy(text);
    KR_FUZZ_REQUIRE(BStrLen(text) == copy.size());
    BStrFree(text);
    return copy;
}

std::vector<std::u16string> drainNames(IoxSysEnumStringList* names) {
    std::vector<std::u16string> all;
    for (;;) {
        char16_t* batch[2] = {nullptr, nullptr};
        uint32_t fetched = 0;
        const int32_t status = names->Next(2, batch, &fetched);
        KR_FUZZ_REQUIRE((status == S_OK && fetched == 2) || (status == S_FALSE && fetched < 2));
        for (uint32_t i = 0; i < fetched; ++i) {
            all.push_back(takeString(batch[i]));
        }
        if (status == S_FALSE) {
            return all;
        }
    }
}

} // namespace expertfuzz
