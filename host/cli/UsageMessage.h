// The one sentence camexpert prints for a mistake that CLI11 found on the
// command line: what is wrong, and what would be right.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

// For an error of app.parse (one that is not a call for help or the
// version). The words CLI11 did not take are looked at in the order given:
// an unknown option or subcommand gets the nearest known one as a
// suggestion.
std::string usageSentence(const CLI::App& app, const CLI::ParseError& error);
