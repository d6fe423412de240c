// Fuzz target: arbitrary bytes are read through the stream path with each
// kind of setting, then sections and keys named by the input are looked up.
// With merging on, each file is read twice, with the merge index and walking
// the lists, and the two results must be the same to the byte.
#include "ini/Ini.h"
#include "ini/IniMergeIndex.h"
#include "ini/IniObjects.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Settings {
    uint32_t parseFlags;
    int32_t mergeDuplicates;
    int32_t caseSensitive;
};

const Settings kSettings[] = {
    {kIniStripDoubleQuotes, 1, 0},
    {kIniAcceptEmptyValue | kIniStripDoubleQuotes | kIniStripSingleQuotes | kIniColonAndNullSection,
     1, 0},
    {kIniAcceptEmptyValue | kIniColonAndNullSection, 0, 1},
};

constexpr size_t kMaxNames = 10;
constexpr size_t kMaxNameLength = 300;

// Names to look up: fixed ones, and the text of the input's first lines on
// both sides of their first '=' or between brackets.
std::vector<std::string> namesFrom(const uint8_t* data, size_t size) {
    std::vector<std::string> names = {"VYREX", "SystemapiExpertCameraListRefreshTimeInSec",
                                      "(null)", ""};
    std::string line;
    for (size_t i = 0; i <= size && names.size() < kMaxNames; ++i) {
        const char byte = i < size ? char(data[i]) : '\n';
        if (byte != '\n' && byte != '\r' && byte != '\0' && line.size() < kMaxNameLength) {
            line += byte;
            continue;
        }
        const size_t cut = line.find_first_of("=:]");
        names.push_back(line.substr(0, cut));
        if (cut != std::string::npos)
            names.push_back(line.substr(cut + 1));
        if (!line.empty() && line[0] == '[')
            names.push_back(line.substr(1, cut == std::string::npos ? cut : cut - 1));
        line.clear();
    }
    return names;
}

void lookUp(IniFile* file, const std::vector<std::string>& names) {
    for (const std::string& section : names) {
        const bool sectionExists = IniSectionExists(file, section.c_str()) == 1;
        for (const std::string& key : names) {
            const char* value = nullptr;
            const int32_t found = IniGetString(file, section.c_str(), key.c_str(), &value);
            if ((found == 1) != (value != nullptr) || (found == 1 && !sectionExists))
                abort();
            uint32_t number = 0;
            const int32_t converted = IniGetUnsigned(file, section.c_str(), key.c_str(), &number);
            if (converted != 1 && converted != 0 && converted != kIniStatusNotUnsigned)
                abort();
            if (IniEntryExists(file, section.c_str(), key.c_str()) != found)
                abort();
        }
    }
}

// Every section with its entries, in file order.
std::string contentOf(const IniFile* file) {
    std::string text;
    for (uint32_t s = 1; s <= ListCount(&file->sections); ++s) {
        const IniSection* section = IniSectionAt(&file->sections, int32_t(s));
        text += std::string("[") + section->name + "]\n";
        for (uint32_t e = 1; e <= ListCount(&section->entries); ++e) {
            const IniEntry* entry = IniEntryAt(&section->entries, int32_t(e));
            text += std::string(entry->key) + "=" + entry->value + "\n";
        }
    }
    return text;
}

// Reads the input with the given settings; abort() on a status the reader
// never gives. The file is the caller's to destroy.
IniFile* read(std::vector<char>& bytes, size_t size, const Settings& settings) {
    FILE* stream = fmemopen(bytes.data(), size, "rb");
    if (!stream)
        return nullptr;
    IniFile* file = IniCreate(0);
    if (!file)
        abort();
    IniSetParseFlags(file, settings.parseFlags);
    IniSetMergeDuplicates(file, settings.mergeDuplicates);
    IniSetCaseSensitive(file, settings.caseSensitive);
    const int32_t status = IniReadStream(file, stream);
    fclose(stream);
    if (status != 0 && status != kIniStatusUnsupportedEncoding)
        abort();
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> bytes(data, data + size);
    bytes.push_back('\0'); // fmemopen needs a buffer even for no input
    const std::vector<std::string> names = namesFrom(data, size);
    for (const Settings& settings : kSettings) {
        // The index is consulted only when merging, so without merging a
        // walked read would take the same path as the indexed one.
        IniFile* walked = nullptr;
        if (settings.mergeDuplicates) {
            IniMergeIndex::setEnabled(false);
            walked = read(bytes, size, settings);
        }
        IniMergeIndex::setEnabled(true);
        IniFile* file = read(bytes, size, settings);
        if (!file || (settings.mergeDuplicates && !walked)) {
            IniDestroy(walked);
            IniDestroy(file);
            return 0;
        }
        if (walked && contentOf(walked) != contentOf(file))
            abort(); // the index found something else than the walk
        IniDestroy(walked);
        lookUp(file, names);
        IniDestroy(file);
    }
    return 0;
}
