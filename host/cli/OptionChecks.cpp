#include "cli/OptionChecks.h"

#include "cli/WholeNumber.h"
#include "commands/ChangeParser.h"
#include "commands/ItemFilter.h"
#include "present/Wording.h"

#include <algorithm>
#include <filesystem>
#include <optional>

CLI::Validator wholeNumberAtLeastOne(const std::string& option) {
    const std::string refusal = option + " must be a whole number of at least 1";
    return CLI::Validator(
        [refusal](std::string& value) -> std::string {
            uint32_t number = 0;
            if (!parseWhole(value, 10, &number) || number == 0) {
                return refusal;
            }
            value = std::to_string(number); // CLI11 would read 010 as octal
            return "";
        },
        "");
}

CLI::Validator seconds(const std::string& option, bool zeroAllowed, double limit) {
    const std::string refusal = option + " must be a number of seconds " +
                                (zeroAllowed ? "from 0 to " : "above 0, at most ") +
                                secondsText(limit);
    return CLI::Validator(
        [=](const std::string& value) -> std::string {
            double number = 0;
            const bool inRange = parseDouble(value, &number) && number <= limit &&
                                 (zeroAllowed ? number >= 0 : number > 0);
            return inRange ? "" : refusal;
        },
        "");
}

CLI::Validator notADirectory(const std::string& option, const std::string& what) {
    return CLI::Validator(
        [=](const std::string& path) -> std::string {
            std::error_code unreachable;
            return std::filesystem::is_directory(path, unreachable)
                       ? "'" + path + "' is a directory: " + option + " needs the path of " + what
                       : "";
        },
        "");
}

CLI::Validator existingFile(const std::string& option, const std::string& what) {
    return CLI::Validator(
        [=](const std::string& path) -> std::string {
            const std::string directory = notADirectory(option, what)(path);
            if (!directory.empty()) {
                return directory;
            }
            std::error_code unreachable;
            if (!std::filesystem::exists(path, unreachable)) {
                return "there is no file '" + path + "': " + option + " needs the path of " + what;
            }
            return "";
        },
        "");
}

CLI::Validator driverChoice() {
    return CLI::Validator(
        [](const std::string& value) -> std::string {
            std::error_code unreachable;
            if (value == "sim" || value == "aravis" || value.find('/') != std::string::npos ||
                std::filesystem::exists(value, unreachable)) {
                return "";
            }
            return "unknown driver '" + value + "'" +
                   ": use sim, aravis or the path of a driver library";
        },
        "");
}

namespace {

// A word that known recognizes, replaced by the spelling it gives; another
// word is refused with "unknown WHAT 'word': " and the rule.
CLI::Validator knownWord(std::optional<std::string> (*known)(const std::string&),
                         const std::string& what, const std::string& rule) {
    return CLI::Validator(
        [=](std::string& value) -> std::string {
            const std::optional<std::string> word = known(value);
            if (!word) {
                return "unknown " + what + " '" + value + "': " + rule;
            }
            value = *word;
            return "";
        },
        "");
}

} // namespace

CLI::Validator kindChoice() {
    return knownWord(knownKind, "kind", kindRule());
}

CLI::Validator busChoice() {
    return knownWord(knownBus, "bus", busRule());
}

std::string kindRule() {
    return "--kind must be " + listed(kindWords(), "or");
}

std::string busRule() {
    return "--bus must be a bus kind (" + listed(busKindWords(), "or") + ") or a class (" +
           listed(busClassWords(), "or") + ")";
}
