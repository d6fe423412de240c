// How serve answers with JSON: a document, or {"error": "sentence"} with
// the status that goes with it.
#pragma once

#include <httplib.h>

#include <string>

constexpr const char* kJsonContentType = "application/json";

void answerJson(httplib::Response& response, const std::string& text);
void answerError(httplib::Response& response, int status, const std::string& sentence);
