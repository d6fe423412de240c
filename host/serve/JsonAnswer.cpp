#include "serve/JsonAnswer.h"

#include "present/JsonOutput.h"

void answerJson(httplib::Response& response, const std::string& text) {
    response.set_header("Cache-Control", "no-store");
    response.set_content(text, kJsonContentType);
}

void answerError(httplib::Response& response, int status, const std::string& sentence) {
    response.status = status;
    answerJson(response, jsonText({{"error", sentence}}, true) + "\n");
}
