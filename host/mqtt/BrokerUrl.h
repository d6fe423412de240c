// The --broker value in every form it takes: HOST, HOST:PORT, [IPv6]:PORT,
// mqtt://HOST[:PORT] for plain TCP and mqtts://HOST[:PORT] for TLS.
#pragma once

#include "mqtt/BrokerAddress.h"

#include <optional>
#include <string>

struct BrokerUrl {
    BrokerAddress address; // with the default port when none is given
    bool tls = false;      // mqtts://; without a scheme, --cafile decides
    bool schemeGiven = false;
};

// The accepted forms, for the message of a value that is none of them.
extern const char* const kBrokerForms;

// None for any other text, or a port that is not a whole number from 1 to
// 65535. The default port is 8883 for TLS (mqtts://, or no scheme with
// cafileGiven), else 1883.
std::optional<BrokerUrl> parseBrokerUrl(const std::string& text, bool cafileGiven);
