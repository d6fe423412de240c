// Where serve listens: --listen ADDRESS:PORT, [IPv6]:PORT, port 0 for a free
// one. Serving beyond the machine itself needs a decision about who may look
// (see ServeCommand), so whether the address is loopback matters.
#pragma once

#include <optional>
#include <string>

struct ListenAddress {
    std::string host; // as given, without the brackets of an IPv6 address
    int port = 0;
    bool loopback = false; // 127.0.0.0/8, ::1 or localhost
};

// None for a text that is not HOST:PORT or [IPv6]:PORT with a port from 0 to
// 65535.
std::optional<ListenAddress> parseListenAddress(const std::string& text);

// Whether a host (a name or a literal, without brackets) is this machine's
// loopback: 127.0.0.0/8, ::1 or localhost, letter case aside.
bool isLoopbackHost(const std::string& host);

// "127.0.0.1:8480", "[::1]:8480": the host (in brackets when it holds a
// colon) and the port.
std::string hostAndPort(const std::string& host, int port);
