#include "mqtt/SocketConnectWait.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace {

// How soon a stop is noticed while the connect is pending.
constexpr int kStopCheckMs = 200;

} // namespace

int waitForSocketConnect(int fd, const std::function<bool()>& stopDue,
                         std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (stopDue()) {
            return -1;
        }
        pollfd writable{fd, POLLOUT, 0};
        const int ready = poll(&writable, 1, kStopCheckMs);
        if (ready < 0 && errno != EINTR) {
            return errno;
        }
        if (ready > 0) {
            int error = 0;
            socklen_t length = sizeof error;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                return errno;
            }
            if (error != 0) {
                return error;
            }
            sockaddr_storage peer{};
            socklen_t peerLength = sizeof peer;
            // Writable without an error pending: connected, unless the error
            // was already taken by a write that failed.
            return getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0
                       ? 0
                       : ECONNREFUSED;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return ETIMEDOUT;
        }
    }
}
