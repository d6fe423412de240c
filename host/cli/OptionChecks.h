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

// A path that names no directory, whether or not a file is there yet.
CLI::Validator notADirectory(const std::string& option, const std::string& what);

// The path of a file that exists (what: "a scenario file").
CLI::Validator existingFile(const std::string& option, const std::string& what);

// sim, aravis, or the path of a driver library: a word that is neither of
// the names nor a file here is taken for a misspelt name.
CLI::Validator driverChoice();

// --kind: camera, grabber or frame grabber, letter case aside; the value
// becomes "camera" or "grabber".
CLI::Validator kindChoice();

// --bus: a bus kind or class the expert knows (commands/ItemFilter.h); the
// value becomes the word as list shows it.
CLI::Validator busChoice();

// What --kind and --bus take, as they say it when they refuse a word ("--kind
// must be camera, grabber or frame grabber"); serve's filters say the same.
std::string kindRule();
std::string busRule();
