#include "TempDirectory.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <unistd.h>

TempDirectory::TempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/kr-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    m_path = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDirectory::write(const std::string& name, const std::string& text) const {
    const std::string final = path(name);
    const std::string partial = final + ".partial";
    FILE* file = std::fopen(partial.c_str(), "wb");
    const bool written =
        file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file == nullptr || std::fclose(file) != 0 || !written ||
        std::rename(partial.c_str(), final.c_str()) != 0) {
        throw std::runtime_error("cannot write " + final);
    }
    return final;
}

std::string refreshPeriodIni(uint32_t seconds) {
    return "[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=" + std::to_string(seconds) + "\n";
}
