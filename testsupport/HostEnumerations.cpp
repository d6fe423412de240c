#include "HostEnumerations.h"

#include "HostStrings.h"

#include <algorithm>
#include <cctype>

std::vector<std::string> drainNames(IoxSysEnumStringList* names) {
    std::vector<std::string> out;
    char16_t* name = nullptr;
    while (names->Next(1, &name, nullptr) == 0) {
        out.push_back(takeString(name));
    }
    return out;
}

std::vector<uint32_t> drainTags(IoxSysEnumPropertyTag* tags) {
    std::vector<uint32_t> out;
    uint32_t tag = 0;
    while (tags->Next(1, &tag, nullptr) == 0) {
        out.push_back(tag);
    }
    return out;
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
    for (const std::string& name : drainNames(names)) {
        all.push_back(upperCased(name));
    }
    names->Release();
    std::sort(all.begin(), all.end());
    return all;
}
