#include "cli/OptionChecks.h"

#include "cli/WholeNumber.h"
#include "commands/ChangeParser.h"
#include "present/Wording.h"

#include <algorithm>
#include <filesystem>

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

CLI::Validator existingFile(const std::string& option, const std::string& what) {
    return CLI::Validator(
        [=](const std::string& path) -> std::string {
            std::error_code unreachable;
            const auto status = std::filesystem::status(path, unreachable);
            if (std::filesystem::is_directory(status)) {
                return "'" + path + "' is a directory: " + option + " needs the path of " + what;
            }
            if (!std::filesystem::exists(status)) {
                return "there is no file '" + path + "': " + option + " needs the path of " + what;
            }
            return "";
        },
        "");
}

CLI::Validator oneOf(const std::string& option, const std::vector<std::string>& words) {
    const std::string refusal = option + " must be " + listed(words, "or");
    return CLI::Validator(
        [=](const std::string& value) -> std::string {
            return std::find(words.begin(), words.end(), value) != words.end() ? "" : refusal;
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
