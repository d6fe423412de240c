#include "present/Wording.h"

#include <cstdio>

std::string listed(const std::vector<std::string>& words, const std::string& conjunction) {
    std::string text;
    for (size_t i = 0; i < words.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == words.size() ? " " + conjunction + " " : ", ") + words[i];
    }
    return text;
}

std::string counted(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", seconds);
    return text;
}
