#include "HostProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace {

// The emulator command with its arguments, separated by '|'; empty natively.
std::vector<std::string> emulatorCommand() {
    std::vector<std::string> words;
    const std::string text = KR_HOST_EMULATOR;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('|', start);
        words.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return words;
}

void makePipe(int fds[2]) {
    if (pipe(fds) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
}

// A pseudo-terminal as a pipe's two ends: the master to read, the slave for
// the program to write to.
void makeTerminal(int fds[2]) {
    fds[0] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fds[0] < 0 || grantpt(fds[0]) != 0 || unlockpt(fds[0]) != 0) {
        throw std::runtime_error(std::string("pseudo-terminal: ") + std::strerror(errno));
    }
    fds[1] = open(ptsname(fds[0]), O_RDWR | O_NOCTTY);
    if (fds[1] < 0) {
        throw std::runtime_error(std::string("pseudo-terminal: ") + std::strerror(errno));
    }
}

// Starts the program with its output in two pipes, stdin from /dev/null and
// the stop signals at their default actions, unblocked.
pid_t spawn(const std::vector<std::string>& arguments, ErrorOutput errorOutput, int* out,
            int* err) {
    std::vector<std::string> command = emulatorCommand();
    command.push_back(camexpertPath());
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : command) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    makePipe(outPipe);
    if (errorOutput == ErrorOutput::Terminal) {
        makeTerminal(errPipe);
    } else {
        makePipe(errPipe);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(outPipe[1]);
    close(errPipe[1]);
    if (failed != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        throw std::runtime_error(std::string("cannot start ") + argv[0] + ": " +
                                 std::strerror(failed));
    }
    *out = outPipe[0];
    *err = errPipe[0];
    return pid;
}

} // namespace

std::string camexpertPath() {
    return KR_CAMEXPERT_PATH;
}

std::string fakeModulePath() {
    return KR_FAKE_MODULE_PATH;
}

std::string simulatedDriverPath() {
    return KR_SIM_DRIVER_PATH;
}

ProcessResult runCamexpert(const std::vector<std::string>& arguments, std::chrono::seconds limit,
                           ErrorOutput errorOutput) {
    RunningCamexpert program(arguments, errorOutput);
    return program.finish(limit);
}

RunningCamexpert::RunningCamexpert(const std::vector<std::string>& arguments,
                                   ErrorOutput errorOutput) {
    m_pid = spawn(arguments, errorOutput, &m_out, &m_err);
}

RunningCamexpert::~RunningCamexpert() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) {
        close(m_out);
    }
    if (m_err >= 0) {
        close(m_err);
    }
}

void RunningCamexpert::readAvailable(int timeoutMs) {
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) <= 0) {
        return;
    }
    int* ends[2] = {&m_out, &m_err};
    std::string* buffers[2] = {&m_outBuffer, &m_errBuffer};
    for (int i = 0; i < 2; ++i) {
        if (*ends[i] < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t got = read(*ends[i], chunk, sizeof chunk);
        if (got > 0) {
            buffers[i]->append(chunk, size_t(got));
        } else if (got == 0 || errno != EINTR) {
            close(*ends[i]);
            *ends[i] = -1; // poll ignores a negative descriptor
        }
    }
}

bool RunningCamexpert::readLine(std::string* line, std::chrono::seconds limit) {
    return takeLine(m_outBuffer, m_out, line, limit);
}

bool RunningCamexpert::readErrorLine(std::string* line, std::chrono::seconds limit) {
    return takeLine(m_errBuffer, m_err, line, limit);
}

bool RunningCamexpert::takeLine(std::string& buffer, const int& end, std::string* line,
                                std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const size_t newline = buffer.find('\n');
        if (newline != std::string::npos) {
            *line = buffer.substr(0, newline);
            buffer.erase(0, newline + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (end < 0 || left.count() <= 0) {
            return false;
        }
        readAvailable(int(left.count()));
    }
}

void RunningCamexpert::sendSignal(int signal) {
    kill(m_pid, signal);
}

ProcessResult RunningCamexpert::finish(std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while ((m_out >= 0 || m_err >= 0) && std::chrono::steady_clock::now() < deadline) {
        readAvailable(100);
    }
    ProcessResult result;
    int status = 0;
    if (m_out >= 0 || m_err >= 0) {
        kill(m_pid, SIGKILL); // outlived its time
        waitpid(m_pid, &status, 0);
    } else {
        waitpid(m_pid, &status, 0);
        if (WIFEXITED(status)) {
            result.exitStatus = WEXITSTATUS(status);
        }
    }
    if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    m_pid = -1;
    result.out = std::move(m_outBuffer);
    result.err = std::move(m_errBuffer);
    return result;
}
