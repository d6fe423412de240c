// Failures the user can act on. what() is a full sentence; the program
// prints it, made safe for a terminal, and ends with exitStatus().
#pragma once

#include <stdexcept>
#include <string>

// Exit statuses of camexpert.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // the module, the driver or the expert failed
constexpr int kExitUsage = 2;    // the command line is wrong
constexpr int kExitRejected = 3; // validate: the expert rejected a change

class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& sentence, int exitStatus = kExitFailure)
        : std::runtime_error(sentence), m_exitStatus(exitStatus) {}

    int exitStatus() const { return m_exitStatus; }

private:
    int m_exitStatus;
};

// A mistake on the command line, found after the options were parsed.
class UsageError : public HostError {
public:
    explicit UsageError(const std::string& sentence) : HostError(sentence, kExitUsage) {}
};
