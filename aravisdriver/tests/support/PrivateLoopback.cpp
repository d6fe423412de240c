#include "PrivateLoopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string g_unavailable = "the namespace was never entered";

std::string Failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Maps the calling user to root inside the namespace; a failure here only
// changes the ids the tests see.
void WriteFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY);
    if (fd >= 0) {
        ssize_t ignored = write(fd, text.data(), text.size());
        (void)ignored;
        close(fd);
    }
}

void SetAddress(sockaddr& field, const std::string& dotted) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, dotted.c_str(), &address.sin_addr);
    std::memcpy(&field, &address, sizeof address);
}

std::string SetUpLoopback(int fd, unsigned extraAddresses) {
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    if (ioctl(fd, SIOCGIFFLAGS, &request) != 0) {
        return Failure("reading the loopback's flags");
    }
    request.ifr_flags = short(request.ifr_flags | IFF_UP | IFF_RUNNING);
    if (ioctl(fd, SIOCSIFFLAGS, &request) != 0) {
        return Failure("bringing the loopback up");
    }
    for (unsigned host = 2; host < 2 + extraAddresses; ++host) {
        ifreq alias{};
        std::snprintf(alias.ifr_name, IFNAMSIZ, "lo:%u", host);
        SetAddress(alias.ifr_addr, LoopbackAddress(host));
        if (ioctl(fd, SIOCSIFADDR, &alias) != 0) {
            return Failure("adding a loopback address");
        }
        SetAddress(alias.ifr_netmask, "255.0.0.0");
        if (ioctl(fd, SIOCSIFNETMASK, &alias) != 0) {
            return Failure("setting a loopback mask");
        }
    }
    return {};
}

} // namespace

std::string EnterPrivateLoopback(unsigned extraAddresses) {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        return g_unavailable = Failure("unshare(CLONE_NEWUSER | CLONE_NEWNET)");
    }
    WriteFile("/proc/self/setgroups", "deny");
    WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        return g_unavailable = Failure("socket");
    }
    g_unavailable = SetUpLoopback(fd, extraAddresses);
    close(fd);
    return g_unavailable;
}

std::string LoopbackAddress(unsigned host) {
    return "127.0.0." + std::to_string(host);
}

const std::string& PrivateLoopbackUnavailable() {
    return g_unavailable;
}
