// Checks of option values for CLI11. Each refuses a value with one sentence
// that says what is wrong and what would be right; CLI11 puts the option's
// name before it, which the usage message takes off again (UsageMessage.h).
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// A whole number from 1 to 4294967295, written in decimal.
CLI::Validator wholeNumberAtLeastOne(const std::string& option);

// A number of seconds: finite, above 0 (or from 0 when zeroAllowed), at most
// limit.
CLI::Validator seconds(const std::string& option, bool zeroAllowed, double limit);

// The path of a file that exists (what: "a scenario file").
CLI::Validator existingFile(const std::string& option, const std::string& what);

// One of the words.
CLI::Validator oneOf(const std::string& option, const std::vector<std::string>& words);

// sim, aravis, or the path of a driver library: a word that is neither of
// the names nor a file here is taken for a misspelt name.
CLI::Validator driverChoice();
