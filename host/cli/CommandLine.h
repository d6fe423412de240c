// The command line of camexpert: its subcommands and options, read with
// CLI11 into plain values.
#pragma once

#include "commands/BrokerCommands.h"
#include "commands/Commands.h"
#include "serve/ServeCommand.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

struct CommandLine {
    std::string subcommand; // info, list, show, watch, validate, publish, fleet or serve
    std::string modulePath; // the module beside the program unless given
    std::string driver = "sim";
    std::string iniPath;      // "": the module's own
    std::string scenarioPath; // "": the simulated driver's default scenario
    double settleSec = -1;    // not given: the driver's own default
    OutputOptions output;
    ListOptions list;
    std::string itemName; // show, validate
    WatchOptions watch;
    std::vector<std::string> assignments; // validate: TAG=VALUE
    PublishOptions publish;               // publish and fleet: only where KR_HOST_MQTT
    FleetOptions fleet;
    ServeOptions serve;
};

// Defines every subcommand and option of app, each reading into line. After
// app.parse, line.subcommand is still to be taken from the app.
void defineCommandLine(CLI::App& app, CommandLine& line);

// --kind and --bus of list and fleet, read into filter with their values
// checked.
void addKindAndBusOptions(CLI::App* command, ItemFilter& filter);

// The subcommand that app.parse found (so far, when it failed), or null.
const CLI::App* parsedSubcommand(const CLI::App& app);
