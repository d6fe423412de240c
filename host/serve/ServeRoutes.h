// The paths serve answers, read from the request's target as sent, so that a
// node or item name holding '/' (percent-encoded, as the page sends it)
// stays one segment.
//   /                              page
//   /nodes/NODE/items/NAME         page (the script shows that item)
//   /app.js, /app.css              asset
//   /api/nodes                     nodes
//   /api/nodes/NODE                node
//   /api/nodes/NODE/items/NAME     item
//   /api/events                    events
//   /metrics                       metrics
// Anything else is "other".
#pragma once

#include <string>

struct ServeRoute {
    std::string handler; // as above; also the label of the request counts
    std::string node;    // decoded
    std::string item;    // decoded
    std::string asset;   // "index.html", "app.js" or "app.css"
};

ServeRoute routeOf(const std::string& target);
