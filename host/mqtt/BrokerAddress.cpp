#include "mqtt/BrokerAddress.h"

#include <charconv>

namespace {

std::optional<int> portNumber(const std::string& text) {
    int port = 0;
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, port);
    if (text.empty() || read.ec != std::errc() || read.ptr != end || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

} // namespace

std::optional<BrokerAddress> parseBrokerAddress(const std::string& text, int defaultPort) {
    BrokerAddress address{text, defaultPort};
    std::string port;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos) {
            return std::nullopt;
        }
        address.host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty() && rest[0] != ':') {
            return std::nullopt;
        }
        port = rest.empty() ? "" : rest.substr(1);
        if (rest == ":") {
            return std::nullopt;
        }
    } else if (const size_t colon = text.find(':');
               colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
        address.host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty()) {
            return std::nullopt;
        }
    }
    if (address.host.empty()) {
        return std::nullopt;
    }
    if (!port.empty()) {
        const std::optional<int> number = portNumber(port);
        if (!number) {
            return std::nullopt;
        }
        address.port = *number;
    }
    return address;
}

std::string brokerAddressText(const BrokerAddress& address) {
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}
