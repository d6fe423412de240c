#include "simdriver/src/ScenarioSource.h"

#include "simdriver/src/DefaultScenario.h"
#include "simdriver/src/ScenarioParser.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace vyrexsim {
namespace {

constexpr const char* kEnvironmentVariable = "VYREX_SIM_SCENARIO";
constexpr const char* kBuiltInName = "built-in default scenario";
// A scenario describes a handful of devices; anything this large is a mistake.
constexpr size_t kMaxFileSize = 16 * 1024 * 1024;

FileStamp StampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.present = true;
    stamp.device = uint64_t(info.st_dev);
    stamp.inode = uint64_t(info.st_ino);
    stamp.size = int64_t(info.st_size);
    stamp.modifiedSeconds = int64_t(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = int64_t(info.st_mtim.tv_nsec);
    stamp.changedSeconds = int64_t(info.st_ctim.tv_sec);
    stamp.changedNanoseconds = int64_t(info.st_ctim.tv_nsec);
    return stamp;
}

FileStamp StampOfPath(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return FileStamp{};
    }
    return StampOf(info);
}

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads the whole file and records the stamp of exactly what was read.
bool ReadWholeFile(const std::string& path, std::string& text, FileStamp& stamp,
                   std::string& reason) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        reason = "cannot open: " + ErrorText(errno);
        stamp = StampOfPath(path);
        return false;
    }
    struct stat info;
    if (fstat(fileno(file.get()), &info) != 0) {
        reason = "cannot read: " + ErrorText(errno);
        stamp = StampOfPath(path);
        return false;
    }
    stamp = StampOf(info);
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (text.size() + got > kMaxFileSize) {
            reason = "larger than " + std::to_string(kMaxFileSize) + " bytes";
            return false;
        }
        text.append(buffer, got);
    }
    if (std::ferror(file.get())) {
        reason = "cannot read: " + ErrorText(errno);
        return false;
    }
    return true;
}

} // namespace

bool FileStamp::operator==(const FileStamp& other) const {
    return present == other.present && device == other.device && inode == other.inode &&
           size == other.size && modifiedSeconds == other.modifiedSeconds &&
           modifiedNanoseconds == other.modifiedNanoseconds &&
           changedSeconds == other.changedSeconds && changedNanoseconds == other.changedNanoseconds;
}

void ScenarioSource::UseBuiltIn() {
    m_kind = Kind::BuiltIn;
    m_pending = true;
    m_path.clear();
}

void ScenarioSource::UseFile(const std::string& path) {
    m_kind = Kind::File;
    m_pending = true;
    m_path = path;
    m_stamp = FileStamp{};
}

void ScenarioSource::UseEnvironment() {
    const char* path = std::getenv(kEnvironmentVariable);
    if (path == nullptr || *path == '\0') {
        UseBuiltIn();
    } else {
        UseFile(path);
    }
}

void ScenarioSource::Detach() {
    m_kind = Kind::Detached;
    m_pending = false;
    m_path.clear();
}

ScenarioSource::Update ScenarioSource::Poll(bool checkForChange, Scenario& scenario,
                                            std::string& problem) {
    switch (m_kind) {
    case Kind::Detached:
        return Update::None;
    case Kind::BuiltIn:
        return m_pending ? ReadBuiltIn(scenario, problem) : Update::None;
    case Kind::File:
        if (!m_pending && (!checkForChange || StampOfPath(m_path) == m_stamp)) {
            return Update::None;
        }
        return ReadFile(scenario, problem);
    }
    return Update::None;
}

ScenarioSource::Update ScenarioSource::ReadBuiltIn(Scenario& scenario, std::string& problem) {
    m_pending = false;
    std::string reason;
    if (!ParseScenario(BuiltInScenario(), scenario, reason)) {
        return Fail(kBuiltInName, reason, problem);
    }
    return Update::Loaded;
}

ScenarioSource::Update ScenarioSource::ReadFile(Scenario& scenario, std::string& problem) {
    m_pending = false;
    std::string text;
    std::string reason;
    if (!ReadWholeFile(m_path, text, m_stamp, reason) || !ParseScenario(text, scenario, reason)) {
        return Fail(m_path, reason, problem);
    }
    return Update::Loaded;
}

ScenarioSource::Update ScenarioSource::Fail(const std::string& source, const std::string& reason,
                                            std::string& problem) {
    problem = source + ": " + reason;
    return Update::Failed;
}

} // namespace vyrexsim
