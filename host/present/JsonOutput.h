// JSON documents and reports on standard output.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The document as text: indented, or on one line when compact (one line per
// event). Text that is not UTF-8 is replaced, never refused. DEL and the C1
// controls, which JSON lets through as they are, are escaped like the other
// control characters (\u007f, \u009b), so the text is safe on a terminal.
std::string jsonText(const nlohmann::ordered_json& document, bool compact);

// Prints jsonText and a newline.
void printJson(const nlohmann::ordered_json& document, bool compact = false);

// Writes text and flushes it, for reports that a reader follows as they come
// (watch, fleet --watch); false when standard output is gone (a closed pipe).
bool printAtOnce(const std::string& text);
