// camexpert serve run as a user runs it, for the tests that talk to it over
// HTTP: the program, and where it said it serves.
#pragma once

#include "HostProcess.h"

#include <httplib.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

class ServedProgram {
public:
    // Starts camexpert with the arguments and waits for its "Serving" line.
    explicit ServedProgram(const std::vector<std::string>& arguments)
        : m_program(std::make_unique<RunningCamexpert>(arguments)) {
        std::string line;
        const std::regex serving(R"(camexpert: Serving (https?)://(.*):(\d+)/ \((.*)\)\.)");
        while (m_program->readErrorLine(&line)) {
            std::smatch found;
            if (std::regex_match(line, found, serving)) {
                m_line = line;
                m_scheme = found[1];
                m_port = std::stoi(found[3]);
                return;
            }
            m_log += line + "\n";
        }
    }

    bool serving() const { return m_port != 0; }
    const std::string& line() const { return m_line; }
    int port() const { return m_port; }
    const std::string& logBefore() const { return m_log; } // stderr before the line

    httplib::Client client() const { return httplib::Client("127.0.0.1", m_port); }

    RunningCamexpert& program() { return *m_program; }

private:
    std::unique_ptr<RunningCamexpert> m_program;
    std::string m_line;
    std::string m_scheme;
    std::string m_log;
    int m_port = 0;
};
