#include "mqtt/BrokerUrl.h"

namespace {

constexpr int kMqttPort = 1883;
constexpr int kMqttTlsPort = 8883;

struct Scheme {
    const char* prefix;
    bool tls;
};
constexpr Scheme kSchemes[] = {{"mqtt://", false}, {"mqtts://", true}};

} // namespace

const char* const kBrokerForms =
    "HOST, HOST:PORT, [IPv6]:PORT, mqtt://HOST[:PORT] or mqtts://HOST[:PORT]";

std::optional<BrokerUrl> parseBrokerUrl(const std::string& text, bool cafileGiven) {
    BrokerUrl url;
    url.tls = cafileGiven;
    std::string rest = text;
    for (const Scheme& scheme : kSchemes) {
        const std::string prefix = scheme.prefix;
        if (text.compare(0, prefix.size(), prefix) == 0) {
            url.tls = scheme.tls;
            url.schemeGiven = true;
            rest = text.substr(prefix.size());
        }
    }
    // Anything else that looks like a URL (another scheme, a path) is no
    // host name; nor is an IPv6 address after a scheme without its brackets.
    if (rest.find('/') != std::string::npos ||
        (url.schemeGiven && rest.find("::") != std::string::npos && rest[0] != '[')) {
        return std::nullopt;
    }
    std::optional<BrokerAddress> address =
        parseBrokerAddress(rest, url.tls ? kMqttTlsPort : kMqttPort);
    if (!address) {
        return std::nullopt;
    }
    // A host with colons is an IPv6 address; "host:1883:1" is not one.
    if (address->host.find(':') != std::string::npos &&
        address->host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) {
        return std::nullopt;
    }
    url.address = std::move(*address);
    return url;
}
