// The service manager's side of Type=notify, for the tests of the services
// (publish, serve): a datagram socket whose path the program finds in
// NOTIFY_SOCKET.
#pragma once

#include "Waiting.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>

class NotifySocket {
public:
    explicit NotifySocket(const std::string& path) {
        m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("cannot bind " + path);
        }
    }
    ~NotifySocket() { close(m_fd); }

    // The next message; "" when none came within the limit.
    std::string next() {
        pollfd readable{m_fd, POLLIN, 0};
        if (poll(&readable, 1, int(std::chrono::milliseconds(kPatience).count())) != 1) {
            return "";
        }
        char text[512] = {};
        const ssize_t length = recv(m_fd, text, sizeof text - 1, 0);
        return std::string(text, length > 0 ? size_t(length) : 0);
    }

private:
    int m_fd = -1;
};
