// Where the model's devices come from: the built-in default scenario, a
// scenario file that is re-read whenever it changes, or nowhere (detached).
#pragma once

#include "simdriver/src/Scenario.h"

#include <cstdint>
#include <string>

namespace vyrexsim {

// What a file looked like when it was last read; any difference means it
// changed (an editor that writes a new file changes the inode, one that
// writes in place changes size or times).
struct FileStamp {
    bool present = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    int64_t changedSeconds = 0;
    int64_t changedNanoseconds = 0;

    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

class ScenarioSource {
public:
    enum class Update { None, Loaded, Failed };

    // Each of these makes the next Poll read the new source.
    void UseBuiltIn();
    void UseFile(const std::string& path);
    // The file named by VYREX_SIM_SCENARIO, or the built-in scenario when the
    // variable is unset or empty.
    void UseEnvironment();
    void Detach();

    // Reads the source when it is new, or when checkForChange is set and the
    // watched file changed. Loaded: scenario holds what was read. Failed:
    // problem names the source and what is wrong with it ("path: reason").
    Update Poll(bool checkForChange, Scenario& scenario, std::string& problem);

private:
    enum class Kind { Detached, BuiltIn, File };

    Update ReadBuiltIn(Scenario& scenario, std::string& problem);
    Update ReadFile(Scenario& scenario, std::string& problem);
    Update Fail(const std::string& source, const std::string& reason, std::string& problem);

    Kind m_kind = Kind::Detached;
    bool m_pending = false;
    std::string m_path;
    FileStamp m_stamp;
};

} // namespace vyrexsim
