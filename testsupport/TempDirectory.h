// A directory of the test's own for the files it writes (INI files,
// scenarios), removed with everything in it when the object goes. Each test
// runs in a process of its own, several at once: fixed file names would
// collide, names in a directory of the test's own cannot.
#pragma once

#include <cstdint>
#include <string>

class TempDirectory {
public:
    TempDirectory(); // throws std::runtime_error when it cannot be made
    ~TempDirectory();

    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return m_path; }
    std::string path(const std::string& name) const { return m_path + "/" + name; }

    // Writes the file under another name and renames it over the old one, so
    // a reader sees the old or the new text, never half of one. Returns its
    // path; throws std::runtime_error when it cannot.
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::string m_path;
};

// An INI file's text that sets the expert's refresh period.
std::string refreshPeriodIni(uint32_t seconds);
