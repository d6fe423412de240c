#include "serve/ListenAddress.h"

#include <arpa/inet.h>
#include <strings.h>

#include <cstdlib>

std::optional<ListenAddress> parseListenAddress(const std::string& text) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return std::nullopt;
    }
    std::string host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            return std::nullopt;
        }
        host = host.substr(1, host.size() - 2);
        in6_addr unused{};
        if (inet_pton(AF_INET6, host.c_str(), &unused) != 1) {
            return std::nullopt;
        }
    } else if (host.find(':') != std::string::npos) {
        return std::nullopt; // an IPv6 address needs its brackets
    }
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(port.c_str()) > 65535) {
        return std::nullopt;
    }
    return ListenAddress{host, std::atoi(port.c_str()), isLoopbackHost(host)};
}

bool isLoopbackHost(const std::string& host) {
    if (strcasecmp(host.c_str(), "localhost") == 0) {
        return true;
    }
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

std::string hostAndPort(const std::string& host, int port) {
    const bool bracketed = host.find(':') != std::string::npos;
    return (bracketed ? "[" + host + "]" : host) + ":" + std::to_string(port);
}
