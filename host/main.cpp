// camexpert: loads the camera expert module the way the configuration
// framework does and shows what it reports.
#include "ChangeParser.h"
#include "CommandLine.h"
#include "Commands.h"
#include "HostError.h"
#include "LibraryDirectory.h"
#include "ModuleLoader.h"
#include "TerminalText.h"
#include "UsageMessage.h"

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

int run(const CommandLine& line) {
    std::vector<RequestedChange> changes;
    if (line.subcommand == "validate") {
        changes = parseRequestedChanges(line.assignments);
    }
    if (!line.scenarioPath.empty()) {
        if (line.driver == "aravis") {
            throw UsageError("--scenario describes devices for the simulated driver; it does not "
                             "go with --driver aravis.");
        }
        setenv(kScenarioVariable, line.scenarioPath.c_str(), 1);
    }
#if KR_HOST_MQTT
    if (line.subcommand == "fleet") {
        return runFleet(line.output, line.fleet); // reads the broker alone, loads nothing
    }
#endif
    ModuleLoader loader(driverPath(line.driver), loadablePath(line.modulePath));
    if (!line.iniPath.empty()) {
        loader.setIniFilePath(line.iniPath.c_str());
    }
    const double settleSec = line.settleSec >= 0       ? line.settleSec
                             : line.driver == "aravis" ? kAravisSettleSec
                                                       : 0;
    loader.setSettleTime(std::chrono::milliseconds(int64_t(settleSec * 1000)));
    if (line.subcommand == "info") {
        return runInfo(loader, line.output);
    }
    if (line.subcommand == "list") {
        return runList(loader, line.output, line.list);
    }
    if (line.subcommand == "show") {
        return runShow(loader, line.output, line.itemName);
    }
    if (line.subcommand == "watch") {
        return runWatch(loader, line.output, line.watch);
    }
#if KR_HOST_MQTT
    if (line.subcommand == "publish") {
        return runPublish(loader, line.publish);
    }
#endif
    return runValidate(loader, line.output, line.itemName, changes);
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
