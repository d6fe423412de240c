#include "cli/IniOptionFile.h"

#include "cli/OptionChecks.h"

#include "ini/Ini.h"

#include <cstring>
#include <memory>
#include <sstream>

namespace {

constexpr const char* kTopSection = "camexpert";

// Feeds the INI reader one line at a time, in pieces when a line is longer
// than its buffer.
struct LineFeed {
    std::istream& input;
    std::string line;
    size_t taken = 0; // of line, already delivered
    uint32_t number = 0;
    bool pending = false; // line holds a piece not yet delivered
};

int32_t nextPiece(void* context, char* buffer, size_t size, int32_t* endOfFile, int32_t* endOfLine,
                  uint32_t* lineNumber) {
    auto& feed = *static_cast<LineFeed*>(context);
    *endOfFile = 0;
    *endOfLine = 0;
    if (!feed.pending) {
        if (!std::getline(feed.input, feed.line)) {
            *endOfFile = 1;
            *endOfLine = 1;
            buffer[0] = '\0';
            return 0;
        }
        ++feed.number;
        feed.taken = 0;
        feed.pending = true;
    }
    const size_t piece = std::min(size - 1, feed.line.size() - feed.taken);
    std::memcpy(buffer, feed.line.data() + feed.taken, piece);
    buffer[piece] = '\0';
    feed.taken += piece;
    if (feed.taken == feed.line.size()) {
        feed.pending = false;
        *endOfLine = 1;
    }
    if (lineNumber != nullptr) {
        *lineNumber = feed.number;
    }
    return 0;
}

// The options of one section: the long names of the command's named options.
void collect(IniFile* file, const CLI::App& command, const std::string& section,
             const std::vector<std::string>& parents, std::vector<CLI::ConfigItem>& items) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_lnames().empty()) {
            continue; // positional, or short only
        }
        const std::string& key = option->get_lnames().front();
        const char* value = nullptr;
        if (IniGetString(file, section.c_str(), key.c_str(), &value) == 1 && value != nullptr) {
            items.push_back({parents, key, {value}});
        }
    }
}

} // namespace

std::vector<CLI::ConfigItem> IniOptionFile::from_config(std::istream& input) const {
    const std::unique_ptr<IniFile, void (*)(IniFile*)> file(IniCreate(0), IniDestroy);
    if (!file) {
        throw CLI::ConfigError("no memory to read the configuration file");
    }
    IniSetCaseSensitive(file.get(), 1);
    LineFeed feed{input, "", 0, 0, false};
    if (IniParse(file.get(), nextPiece, &feed) != 0) {
        throw CLI::ConfigError("the configuration file cannot be read");
    }
    std::vector<CLI::ConfigItem> items;
    collect(file.get(), m_app, kTopSection, {}, items);
    for (const CLI::App* command : m_app.get_subcommands({})) {
        collect(file.get(), *command, command->get_name(), {command->get_name()}, items);
    }
    return items;
}

void defineOptionFile(CLI::App& app) {
    app.set_config("--config", "",
                   "Read options from this INI file: [camexpert] for those before the "
                   "subcommand, [publish], [fleet] or [serve] for its own; keys are long option "
                   "names")
        ->check(existingFile("--config", "an INI file of options"));
    app.config_formatter(std::make_shared<IniOptionFile>(app));
}
