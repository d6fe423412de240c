#include "present/JsonOutput.h"

#include "present/TerminalText.h"

#include <cstdio>

std::string jsonText(const nlohmann::ordered_json& document, bool compact) {
    return jsonTerminalSafe(document.dump(compact ? -1 : 2, ' ', false,
                                          nlohmann::ordered_json::error_handler_t::replace));
}

void printJson(const nlohmann::ordered_json& document, bool compact) {
    const std::string text = jsonText(document, compact) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

bool printAtOnce(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}
