// JSON documents on standard output.
#pragma once

#include <nlohmann/json.hpp>

// Prints the document and a newline: indented, or on one line when compact
// (one line per event). Text that is not UTF-8 is replaced, never refused.
void printJson(const nlohmann::ordered_json& document, bool compact = false);
