// camexpert: loads the camera expert module the way the configuration
// framework does and shows what it reports.
#include "ChangeParser.h"
#include "Commands.h"
#include "HostError.h"
#include "ModuleLoader.h"

#include "contract/Version.h"

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

constexpr const char* kExamples = R"(Examples:
  camexpert list                              every camera and frame grabber
  camexpert list --json                       the same as one JSON document
  camexpert show gev0-cam0                    every property of one item
  camexpert watch                             print changes as they happen (Ctrl-C stops)
  camexpert watch --json --count 3            three events as JSON lines, then stop
  camexpert validate gev0-cam0 0x01004000=Acme 0x07006000=uint:7
  camexpert --scenario my-lab.json list       the simulated driver with your own devices
  camexpert --ini fast.ini watch              a refresh period from another INI file
  camexpert --driver aravis list              real GigE Vision / USB3 Vision cameras

Exit status: 0 success, 1 failure, 2 wrong command line, 3 validate: a change was rejected.)";

struct CommonOptions {
    std::string modulePath;
    std::string driver = "sim";
    std::string iniPath;
    std::string scenarioPath;
    double settleSec = -1; // not given: the driver's own default
    OutputOptions output;
};

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
        return programDirectory() + "/" + kSimulatedDriverFile;
    }
    if (choice == "aravis") {
        const std::string path = programDirectory() + "/" + kAravisDriverFile;
        std::error_code unreachable;
        if (!std::filesystem::exists(path, unreachable)) {
            throw HostError("The aravis driver backend is not built: " + path + " does not exist.");
        }
        return path;
    }
    return loadablePath(choice);
}

void addCommonOptions(CLI::App& app, CommonOptions& options) {
    app.add_option("--module", options.modulePath, "The expert module to load")
        ->capture_default_str();
    app.add_option("--driver", options.driver,
                   "Camera driver: 'sim' (simulated), 'aravis' (GigE Vision and USB3 Vision "
                   "cameras) or the path of a driver library")
        ->capture_default_str();
    app.add_option("--ini", options.iniPath,
                   "INI file the expert reads its refresh period from, instead of /c/kr-rt.ini")
        ->check(CLI::ExistingFile);
    app.add_option("--scenario", options.scenarioPath,
                   "Scenario file of the simulated driver (sets VYREX_SIM_SCENARIO)")
        ->check(CLI::ExistingFile);
    app.add_option("--settle", options.settleSec,
                   "Seconds list, show and validate wait for the driver's first devices "
                   "(default 4 with --driver aravis, else 0)")
        ->check(CLI::Range(0.0, 3600.0));
    app.add_flag("--json", options.output.json, "Machine-readable output");
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{kDescription, "camexpert"};
    app.set_version_flag("--version", "camexpert " KR_VERSION_TEXT);
    app.require_subcommand(1);
    app.fallthrough(); // the common options may follow the subcommand too
    app.footer(kExamples);

    CommonOptions options;
    options.modulePath = programDirectory() + "/" + kModuleFile;
    addCommonOptions(app, options);

    CLI::App* info = app.add_subcommand("info", "The expert's identity and version record");
    CLI::App* list = app.add_subcommand(
        "list", "One row per camera or frame grabber: name, kind, bus, vendor, model (without "
                "the vendor's name), serial number, IP address");
    CLI::App* show =
        app.add_subcommand("show", "Every property of one item: tag, label, type, value");
    std::string itemName;
    show->add_option("NAME", itemName, "Item name, as list shows it")->required();

    CLI::App* watch = app.add_subcommand(
        "watch", "Print each change as the expert reports it, until Ctrl-C. The first event "
                 "lists the items present at the start.");
    WatchOptions watchOptions;
    watch->add_option("--duration", watchOptions.durationSec, "Stop after this many seconds")
        ->check(CLI::PositiveNumber);
    watch->add_option("--count", watchOptions.count, "Stop after this many events")
        ->check(CLI::PositiveNumber);

    CLI::App* validate = app.add_subcommand(
        "validate", "Ask the expert to validate changes to an item's properties");
    std::string validateName;
    std::vector<std::string> assignments;
    validate->add_option("NAME", validateName, "Item name")->required();
    validate
        ->add_option("TAG=VALUE", assignments,
                     "A changed property: TAG in hexadecimal; VALUE read as the property's "
                     "type, or with a prefix string:, signed:, unsigned:, boolean:, double:, "
                     "guid:")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? kExitSuccess : kExitUsage;
    }

    try {
        std::vector<RequestedChange> changes;
        if (validate->parsed()) {
            changes = parseRequestedChanges(assignments);
        }
        if (!options.scenarioPath.empty()) {
            if (options.driver == "aravis") {
                throw UsageError("--scenario describes devices for the simulated driver; it "
                                 "does not go with --driver aravis.");
            }
            setenv(kScenarioVariable, options.scenarioPath.c_str(), 1);
        }
        ModuleLoader loader(driverPath(options.driver), loadablePath(options.modulePath));
        if (!options.iniPath.empty()) {
            loader.setIniFilePath(options.iniPath.c_str());
        }
        const double settleSec = options.settleSec >= 0       ? options.settleSec
                                 : options.driver == "aravis" ? kAravisSettleSec
                                                              : 0;
        loader.setSettleTime(std::chrono::milliseconds(int64_t(settleSec * 1000)));
        if (info->parsed()) {
            return runInfo(loader, options.output);
        }
        if (list->parsed()) {
            return runList(loader, options.output);
        }
        if (show->parsed()) {
            return runShow(loader, options.output, itemName);
        }
        if (watch->parsed()) {
            return runWatch(loader, options.output, watchOptions);
        }
        return runValidate(loader, options.output, validateName, changes);
    } catch (const HostError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "camexpert: %s\n", error.what());
        return error.exitStatus();
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "camexpert: unexpected failure: %s.\n", error.what());
        return kExitFailure;
    }
}
