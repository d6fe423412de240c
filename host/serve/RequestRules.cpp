#include "serve/RequestRules.h"

#include "serve/ListenAddress.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// "host:port" from an authority ("Example.org", "[::1]:8480"), the port the
// default one when it has none, the host in lower case; none when it is not
// an authority.
std::optional<std::string> normalized(const std::string& authority, int defaultPort) {
    std::string host = lowered(authority);
    std::string port = std::to_string(defaultPort);
    const size_t bracket = host.rfind(']');
    const size_t colon = host.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        port = host.substr(colon + 1);
        host.erase(colon);
    }
    if (host.empty() || port.empty() || port.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return host + ":" + port;
}

// The host of an authority without its port and brackets.
std::string hostOf(const std::string& authority) {
    if (!authority.empty() && authority.front() == '[') {
        const size_t end = authority.find(']');
        return end == std::string::npos ? "" : authority.substr(1, end - 1);
    }
    return authority.substr(0, authority.find(':'));
}

bool sameOrigin(const std::string& origin, const std::string& host, bool tls) {
    const size_t separator = origin.find("://");
    if (separator == std::string::npos) {
        return false; // "null", or no origin at all
    }
    const bool secureOrigin = lowered(origin.substr(0, separator)) == "https";
    const std::optional<std::string> from =
        normalized(origin.substr(separator + 3), secureOrigin ? 443 : 80);
    const std::optional<std::string> to = normalized(host, tls ? 443 : 80);
    return from && to && *from == *to;
}

} // namespace

std::optional<Refusal> requestRefusal(const RequestFacts& request, bool loopbackOnly, bool tls) {
    if (request.method != "GET" && request.method != "HEAD") {
        return Refusal{405, "Only GET and HEAD are served here."};
    }
    if (loopbackOnly && (!request.host || !isLoopbackHost(hostOf(*request.host)))) {
        return Refusal{403, "This server answers only requests for a loopback host name or "
                            "address."};
    }
    if (request.origin && (!request.host || !sameOrigin(*request.origin, *request.host, tls))) {
        return Refusal{403, "Requests from another origin are not served."};
    }
    return std::nullopt;
}
