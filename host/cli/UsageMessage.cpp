#include "cli/UsageMessage.h"

#include "cli/CommandLine.h"
#include "cli/Suggestion.h"
#include "present/Wording.h"

#include <vector>

namespace {

std::vector<std::string> subcommandNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        names.push_back(sub->get_name());
    }
    return names;
}

// Every option of the app and of the subcommand given, as typed: --json, -q.
std::vector<std::string> optionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* scope : {&app, parsedSubcommand(app)}) {
        if (scope == nullptr) {
            continue;
        }
        for (const CLI::Option* option : scope->get_options()) {
            for (const std::string& name : option->get_lnames()) {
                names.push_back("--" + name);
            }
            for (const std::string& name : option->get_snames()) {
                names.push_back("-" + name);
            }
        }
    }
    return names;
}

std::string helpCommand(const CLI::App* sub) {
    return sub == nullptr ? "camexpert --help" : "camexpert " + sub->get_name() + " --help";
}

std::string unknownOption(const CLI::App& app, const std::string& word) {
    const std::string option = word.substr(0, word.find('='));
    const std::string nearest = nearestWord(option, optionNames(app));
    if (nearest == option && parsedSubcommand(app) != nullptr) { // given before its subcommand
        const std::string sub = parsedSubcommand(app)->get_name();
        return option + " is an option of " + sub + ": give it after " + sub;
    }
    return "unknown option '" + option + "'" +
           (nearest.empty() ? "; " + helpCommand(parsedSubcommand(app)) + " lists the options"
                            : "; did you mean '" + nearest + "'?");
}

std::string unknownSubcommand(const CLI::App& app, const std::string& word) {
    const std::vector<std::string> names = subcommandNames(app);
    const std::string nearest = nearestWord(word, names);
    return "unknown subcommand '" + word + "'" +
           (nearest.empty() ? "; the subcommands are " + listed(names, "and")
                            : "; did you mean '" + nearest + "'?");
}

// The words no option or subcommand took, as they were given.
std::string firstLeftOver(const CLI::App& app) {
    const std::vector<std::string> left = app.remaining(true);
    return left.empty() ? "" : left.front();
}

std::string missingArgument(const CLI::App& app) {
    const CLI::App* sub = parsedSubcommand(app);
    if (sub == nullptr) {
        return "a subcommand is required: " + listed(subcommandNames(app), "or");
    }
    for (const CLI::Option* option : sub->get_options()) {
        if (option->get_required() && option->count() == 0) {
            return sub->get_name() + " needs " + option->get_name() + ": " +
                   option->get_description();
        }
    }
    return sub->get_name() + " is missing an argument; " + helpCommand(sub) + " tells which";
}

// CLI11 writes "NAME: sentence" for a value a check refused; the checks of
// OptionChecks.h name the option in their sentences themselves.
std::string refusedValue(const CLI::ParseError& error) {
    const std::string message = error.what();
    const size_t separator = message.find(": ");
    return separator == std::string::npos ? message : message.substr(separator + 2);
}

// CLI11 writes "NAME: 1 required TYPE missing" for an option given last
// without its value.
std::string optionWithoutValue(const CLI::ParseError& error) {
    const std::string message = error.what();
    return message.substr(0, message.find(": "));
}

std::string lowercaseStart(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') {
        text[0] = char(text[0] - 'A' + 'a');
    }
    return text;
}

} // namespace

std::string usageSentence(const CLI::App& app, const CLI::ParseError& error) {
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
        return refusedValue(error);
    }
    const std::string word = firstLeftOver(app);
    if (!word.empty() && word[0] == '-') {
        return unknownOption(app, word);
    }
    if (!word.empty() && parsedSubcommand(app) == nullptr) {
        return unknownSubcommand(app, word);
    }
    if (!word.empty()) {
        return "unexpected argument '" + word + "'; " + helpCommand(parsedSubcommand(app)) +
               " tells what " + parsedSubcommand(app)->get_name() + " takes";
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        return missingArgument(app);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return optionWithoutValue(error) + " needs a value; " + helpCommand(parsedSubcommand(app)) +
               " tells what it takes";
    }
    return lowercaseStart(error.what());
}
