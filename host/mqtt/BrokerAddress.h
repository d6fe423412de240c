// Where the MQTT broker is: HOST[:PORT], as --broker takes it.
#pragma once

#include <optional>
#include <string>

struct BrokerAddress {
    std::string host;
    int port = 0;
};

// "broker.plant", "10.0.0.5:1884", "[fd00::5]:1884"; an IPv6 address takes
// its port only in brackets, so "fd00::5" alone is a host. None for an empty
// host or a port that is not a whole number from 1 to 65535.
std::optional<BrokerAddress> parseBrokerAddress(const std::string& text, int defaultPort);

// "HOST:PORT", "[HOST]:PORT" for an IPv6 address, for messages.
std::string brokerAddressText(const BrokerAddress& address);
