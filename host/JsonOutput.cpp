#include "JsonOutput.h"

#include <cstdio>

void printJson(const nlohmann::ordered_json& document, bool compact) {
    const std::string text = document.dump(compact ? -1 : 2, ' ', false,
                                           nlohmann::ordered_json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}
