// camexpert: loads the camera expert module the way the configuration
// framework does and shows what it reports.
#include "cli/CommandLine.h"
#include "cli/HostError.h"
#include "cli/LibraryDirectory.h"
#include "cli/OptionChecks.h"
#include "cli/UsageMessage.h"
#include "commands/ChangeParser.h"
#include "commands/Commands.h"
#include "present/TerminalText.h"
#include "session/ModuleLoader.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kModuleFile = "krvyrexSysapiExpert.out";
constexpr const char* kSimulatedDriverFile = "libvyrexsim.so";
constexpr const char* kAravisDriverFile = "libvyrexaravis.so";
constexpr const char* kScenarioVariable = "VYREX_SIM_SCENARIO";

constexpr const char* kDescription =
    "Loads the camera expert module the way the host configuration framework does, and shows "
    "the cameras and frame grabbers it reports.";

// A driver that discovers on a network (aravis) reports its first devices
// only after its first discovery and the expert's next refresh: one-shot
// commands give it that long by default. The simulated driver needs nothing.
constexpr double kAravisSettleSec = 4;

// A path the loader takes as a file: one without a slash would be looked up
// in the library search path instead.
std::string loadablePath(const std::string& path) {
    return path.find('/') == std::string::npos ? "./" + path : path;
}

std::string driverPath(const std::string& choice) {
    if (choice == "sim") {
        return libraryDirectory() + "/" + kSimulatedDriverFile;
    }
    if (choice == "aravis") {
        const std::string path = libraryDirectory() + "/" + kAravisDriverFile;
        std::error_code unreachable;
        if (!std::filesystem::exists(path, unreachable)) {
            throw HostError("The aravis driver backend is not built: " + path + " does not exist.");
        }
        return path;
    }
    return loadablePath(choice);
}

// Each subcommand: its name, whether it needs the module loaded, and what
// runs it. The changes of validate are read before anything is loaded, so a
// mistake in them is told as one.
struct Subcommand {
    const char* name;
    bool needsModule;
    int (*run)(ModuleLoader* loader, const CommandLine& line,
               const std::vector<RequestedChange>& changes);
};

const Subcommand kSubcommands[] = {
    {"info", true,
     [](ModuleLoader* loader, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runInfo(*loader, line.output);
     }},
    {"list", true,
     [](ModuleLoader* loader, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runList(*loader, line.output, line.list);
     }},
    {"show", true,
     [](ModuleLoader* loader, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runShow(*loader, line.output, line.itemName);
     }},
    {"watch", true,
     [](ModuleLoader* loader, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runWatch(*loader, line.output, line.watch);
     }},
    {"validate", true,
     [](ModuleLoader* loader, const CommandLine& line,
        const std::vector<RequestedChange>& changes) {
         return runValidate(*loader, line.output, line.itemName, changes);
     }},
#if KR_HOST_MQTT
    {"publish", true,
     [](ModuleLoader* loader, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runPublish(*loader, line.publish);
     }},
    {"fleet", false, // reads the broker alone
     [](ModuleLoader*, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runFleet(line.output, line.fleet);
     }},
    {"serve", true, // without --broker only, see needsModule
     [](ModuleLoader* loader, const CommandLine& line, const std::vector<RequestedChange>&) {
         return runServe(loader, line.serve);
     }},
#endif
};

const Subcommand& subcommandNamed(const std::string& name) {
    for (const Subcommand& subcommand : kSubcommands) {
        if (name == subcommand.name) {
            return subcommand;
        }
    }
    throw UsageError("A subcommand is needed; camexpert --help lists them.");
}

// serve loads the module only to show this controller; with --broker it
// reads the broker alone.
bool needsModule(const Subcommand& subcommand, [[maybe_unused]] const CommandLine& line) {
#if KR_HOST_MQTT
    if (line.subcommand == "serve") {
        return line.serve.broker.broker.empty();
    }
#endif
    return subcommand.needsModule;
}

int run(const CommandLine& line) {
    const Subcommand& subcommand = subcommandNamed(line.subcommand);
    const std::vector<RequestedChange> changes = parseRequestedChanges(line.assignments);
    if (!line.scenarioPath.empty()) {
        if (line.driver == "aravis") {
            throw UsageError("--scenario describes devices for the simulated driver; it does not "
                             "go with --driver aravis.");
        }
        // watch tells a scenario it cannot read and goes on, so a test bench
        // may start it before it writes the file; a one-shot command needs it.
        if (line.subcommand != "watch") {
            const std::string missing =
                existingFile("--scenario", "a scenario file")(line.scenarioPath);
            if (!missing.empty()) {
                throw UsageError(missing);
            }
        }
        setenv(kScenarioVariable, line.scenarioPath.c_str(), 1);
    }
    if (!needsModule(subcommand, line)) {
        return subcommand.run(nullptr, line, changes);
    }
    ModuleLoader loader(driverPath(line.driver), loadablePath(line.modulePath));
    if (!line.iniPath.empty()) {
        loader.setIniFilePath(line.iniPath.c_str());
    }
    const double settleSec = line.settleSec >= 0       ? line.settleSec
                             : line.driver == "aravis" ? kAravisSettleSec
                                                       : 0;
    loader.setSettleTime(std::chrono::milliseconds(int64_t(settleSec * 1000)));
    return subcommand.run(&loader, line, changes);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{kDescription, "camexpert"};
    CommandLine line;
    line.modulePath = libraryDirectory() + "/" + kModuleFile;
    defineCommandLine(app, line);
    try {
        app.parse(argc, argv);
        const CLI::App* subcommand = parsedSubcommand(app);
        line.subcommand = subcommand == nullptr ? "" : subcommand->get_name();
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error); // --help, --version
        }
        std::fprintf(stderr, "camexpert: %s\n", terminalSafe(usageSentence(app, error)).c_str());
        return kExitUsage;
    }

    try {
        return run(line);
    } catch (const HostError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "camexpert: %s\n", terminalSafe(error.what()).c_str());
        return error.exitStatus();
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "camexpert: unexpected failure: %s.\n",
                     terminalSafe(error.what()).c_str());
        return kExitFailure;
    }
}
