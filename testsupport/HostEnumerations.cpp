#include "HostEnumerations.h"

#include "hostkit/Enumerators.h"
#include "hostkit/ExpertTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

std::vector<std::string> namesIn(IoxSysEnumStringList* names) {
    const std::optional<std::vector<std::u16string>> drained = drainNames(names);
    EXPECT_TRUE(drained) << "the name enumerator keeps its contract";
    std::vector<std::string> out;
    for (const std::u16string& name : drained.value_or(std::vector<std::u16string>{})) {
        out.push_back(toUtf8(name));
    }
    return out;
}

std::vector<uint32_t> tagsIn(IoxSysEnumPropertyTag* tags) {
    const std::optional<std::vector<uint32_t>> drained = drainTags(tags);
    EXPECT_TRUE(drained) << "the tag enumerator keeps its contract";
    return drained.value_or(std::vector<uint32_t>{});
}

std::string upperCased(std::string text) {
    for (char& c : text) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::vector<std::string> upperCaseItemNames(IoxSysExpert2* expert) {
    IoxSysEnumStringList* names = nullptr;
    if (expert->SearchForItemNames(&names) != 0) {
        return {};
    }
    std::vector<std::string> all;
    for (const std::string& name : namesIn(names)) {
        all.push_back(upperCased(name));
    }
    names->Release();
    std::sort(all.begin(), all.end());
    return all;
}
