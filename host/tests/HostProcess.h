// Runs the built camexpert program as a user would, through the emulator
// when the build is for another processor, and collects what it prints.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

struct ProcessResult {
    int exitStatus = -1; // -1 when it did not exit by itself
    int signal = 0;      // the signal that ended it, or 0
    std::string out;
    std::string err;
};

// Where camexpert's standard error goes: a pipe, or a terminal (the slave
// side of a pseudo-terminal), as when a person runs it.
enum class ErrorOutput { Pipe, Terminal };

// Runs camexpert with the arguments to its end; one that outlives the time
// limit is killed (exitStatus -1).
ProcessResult runCamexpert(const std::vector<std::string>& arguments,
                           std::chrono::seconds limit = std::chrono::seconds(60),
                           ErrorOutput errorOutput = ErrorOutput::Pipe);

// A camexpert that keeps running while the test talks to it.
class RunningCamexpert {
public:
    explicit RunningCamexpert(const std::vector<std::string>& arguments,
                              ErrorOutput errorOutput = ErrorOutput::Pipe);
    ~RunningCamexpert(); // kills the program if it still runs

    RunningCamexpert(const RunningCamexpert&) = delete;
    RunningCamexpert& operator=(const RunningCamexpert&) = delete;

    // The next line of its standard output (without the newline); false when
    // the output ended or no line came within the limit.
    bool readLine(std::string* line, std::chrono::seconds limit = std::chrono::seconds(30));

    // The same for its standard error.
    bool readErrorLine(std::string* line, std::chrono::seconds limit = std::chrono::seconds(30));

    void sendSignal(int signal);

    // Waits for the end, collecting the rest of the output; kills the program
    // when the limit passes first.
    ProcessResult finish(std::chrono::seconds limit = std::chrono::seconds(60));

private:
    void readAvailable(int timeoutMs);
    bool takeLine(std::string& buffer, const int& end, std::string* line,
                  std::chrono::seconds limit);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_outBuffer;
    std::string m_errBuffer;
};

// Paths of the built programs and libraries.
std::string camexpertPath();
std::string fakeModulePath(); // a module whose factory fails
std::string simulatedDriverPath();
