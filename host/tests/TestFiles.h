// Files the host tests write: scenarios for the simulated driver and INI
// files, in a directory of their own that goes with the test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <unistd.h>

class TestDirectory {
public:
    TestDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/camexpert-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_path = pattern;
    }
    ~TestDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    std::string path(const std::string& name) const { return m_path + "/" + name; }

    // Writes the file under another name and renames it over the old one, so
    // a reader sees the old or the new text, never half of one.
    std::string write(const std::string& name, const std::string& text) const {
        const std::string final = path(name);
        const std::string partial = final + ".partial";
        FILE* file = std::fopen(partial.c_str(), "w");
        if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
            std::fclose(file) != 0 || std::rename(partial.c_str(), final.c_str()) != 0) {
            throw std::runtime_error("cannot write " + final);
        }
        return final;
    }

    // An INI file with a refresh period of one second.
    std::string fastIni() const {
        return write("fast.ini", "[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=1\n");
    }

private:
    std::string m_path;
};
