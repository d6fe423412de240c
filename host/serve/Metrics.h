// /metrics: the picture and the server's own figures in the Prometheus text
// format 0.0.4, each family with its HELP and TYPE.
#pragma once

#include "serve/PictureStore.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

// Requests answered, by handler (page, asset, nodes, node, item, events,
// metrics, other) and status code.
class RequestCounts {
public:
    void count(const std::string& handler, int code);
    std::map<std::pair<std::string, int>, uint64_t> snapshot() const;

private:
    mutable std::mutex m_lock;
    std::map<std::pair<std::string, int>, uint64_t> m_counts;
};

struct ServerFigures {
    std::map<std::pair<std::string, int>, uint64_t> requests;
    size_t eventClients = 0;
    std::optional<bool> brokerConnected; // none: not reading a broker
};

constexpr const char* kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

std::string metricsText(const PictureStore& store, const ServerFigures& server,
                        std::chrono::system_clock::time_point now);

// A label value as the text format writes it: backslash, double quote and
// newline escaped, and a byte that is not UTF-8 replaced by U+FFFD.
std::string escapedLabel(const std::string& value);
