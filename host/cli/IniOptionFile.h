// --config FILE: options from an INI file, read with the project's INI
// reader. Each subcommand's options are in a section of its name, the
// options before the subcommand in [camexpert]; a key is an option's long
// name without its dashes. The command line wins over the file.
//
//     [camexpert]
//     driver = aravis
//     [publish]
//     broker = mqtts://broker.plant
//     node = cell4-line2
//     username = cell4
//     password-file = /etc/camexpert/mqtt-password
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

class IniOptionFile : public CLI::Config {
public:
    // The app whose options the file may set; it outlives this object.
    explicit IniOptionFile(const CLI::App& app) : m_app(app) {}

    std::string to_config(const CLI::App*, bool, bool, std::string) const override { return ""; }

    // Throws CLI::ConfigError when the file cannot be parsed.
    std::vector<CLI::ConfigItem> from_config(std::istream& input) const override;

private:
    const CLI::App& m_app;
};

// Gives the app --config FILE, read as above.
void defineOptionFile(CLI::App& app);
