// What serve refuses before it looks at the path: a method other than GET
// and HEAD (405), a cross-origin request (an Origin whose host and port are
// not the request's Host, 403), and while it listens on loopback a Host that
// is not a loopback name or literal (403): a page elsewhere that had a name
// of its own resolve to 127.0.0.1 (DNS rebinding) reads nothing.
#pragma once

#include <optional>
#include <string>

struct Refusal {
    int status = 0;
    std::string sentence;
};

struct RequestFacts {
    std::string method;
    std::optional<std::string> origin; // the Origin header, when there is one
    std::optional<std::string> host;   // the Host header
};

// None when the request may go on. tls: whether serve answers HTTPS, which
// gives the Host without a port its default one.
std::optional<Refusal> requestRefusal(const RequestFacts& request, bool loopbackOnly, bool tls);
