#include "quarks/status.h"

#include <cstring>

namespace nKRZEPH000 {

namespace {

constexpr size_t kComponentLength = sizeof(tStatus::component) - 1;
constexpr size_t kFileLength = sizeof(tStatus::file) - 1;
constexpr size_t kFileEndLength = 49; // kept at each end of a long path
constexpr char kFileElision[] = "..";

bool replaces(int32_t current, int32_t newCode) {
    return (current == 0 && newCode != 0) || (current > 0 && newCode < 0);
}

// Copies at most `length` characters and zero-fills the rest of `field`.
void storeCut(char* field, size_t fieldSize, const char* text, size_t length) {
    std::memset(field, 0, fieldSize);
    std::memcpy(field, text, length);
}

void storeFile(char (&field)[sizeof(tStatus::file)], const char* path) {
    const size_t length = std::strlen(path);
    if (length <= kFileLength) {
        storeCut(field, sizeof field, path, length);
        return;
    }
    std::memset(field, 0, sizeof field);
    char* out = field;
    std::memcpy(out, path, kFileEndLength);
    out += kFileEndLength;
    std::memcpy(out, kFileElision, sizeof kFileElision - 1);
    out += sizeof kFileElision - 1;
    std::memcpy(out, path + length - kFileEndLength, kFileEndLength);
}

} // namespace

tStatus::tStatus() : size(nKRZEPHS100_tStatus_kDebugSize1) {
    clear();
}

void tStatus::clear() {
    code = 0;
    std::memset(component, 0, sizeof component);
    std::memset(file, 0, sizeof file);
    line = 0;
    extra = 0;
    std::memset(unused, 0, sizeof unused);
}

bool tStatus::record(int32_t newCode, const char* componentName, const char* fileName,
                     uint32_t lineNumber) {
    if (!replaces(code, newCode)) {
        return false;
    }
    code = newCode;
    if (size >= nKRZEPHS100_tStatus_kDebugSize1) {
        const char* name = componentName != nullptr ? componentName : "";
        storeCut(component, sizeof component, name, strnlen(name, kComponentLength));
        storeFile(file, fileName != nullptr ? fileName : "");
        line = lineNumber;
        extra = 0;
    }
    return true;
}

} // namespace nKRZEPH000
