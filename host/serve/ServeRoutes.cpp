#include "serve/ServeRoutes.h"

#include <httplib.h>

#include <vector>

namespace {

// The path's segments after its leading '/', each percent-decoded; none for
// a path without the leading '/'.
std::vector<std::string> segments(const std::string& target) {
    const std::string path = target.substr(0, target.find('?'));
    std::vector<std::string> parts;
    if (path.empty() || path.front() != '/') {
        return parts;
    }
    size_t start = 1;
    while (true) {
        const size_t end = path.find('/', start);
        parts.push_back(httplib::detail::decode_url(path.substr(start, end - start), false));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

} // namespace

ServeRoute routeOf(const std::string& target) {
    const std::vector<std::string> parts = segments(target);
    const size_t count = parts.size();
    if (count == 1 && parts[0].empty()) {
        return {"page", "", "", "index.html"};
    }
    if (count == 4 && parts[0] == "nodes" && parts[2] == "items") {
        return {"page", parts[1], parts[3], "index.html"};
    }
    if (count == 1 && (parts[0] == "app.js" || parts[0] == "app.css")) {
        return {"asset", "", "", parts[0]};
    }
    if (count == 1 && parts[0] == "metrics") {
        return {"metrics", "", "", ""};
    }
    if (count >= 2 && parts[0] == "api") {
        if (count == 2 && parts[1] == "nodes") {
            return {"nodes", "", "", ""};
        }
        if (count == 2 && parts[1] == "events") {
            return {"events", "", "", ""};
        }
        if (count == 3 && parts[1] == "nodes") {
            return {"node", parts[2], "", ""};
        }
        if (count == 5 && parts[1] == "nodes" && parts[3] == "items") {
            return {"item", parts[2], parts[4], ""};
        }
    }
    return {"other", "", "", ""};
}
