// camexpert: loads the camera expert module the way the configuration
// framework does and shows what it reports.
#include "InfoCommand.h"
#include "ModuleLoader.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kModuleFile = "krvyrexSysapiExpert.out";
constexpr const char* kSimulatedDriverFile = "libvyrexsim.so";

struct CommonOptions {
    std::string modulePath;
    std::string driver = "sim";
    OutputOptions output;
};

std::string driverPath(const std::string& choice) {
    if (choice == "sim") {
        return programDirectory() + "/" + kSimulatedDriverFile;
    }
    return choice;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Loads the camera expert module and shows what it reports.", "camexpert"};
    app.set_version_flag("--version", "camexpert 18.5");
    app.require_subcommand(1);
    app.footer("Examples:\n"
               "  camexpert info                 identity and version record of the module\n"
               "  camexpert info --json          the same as one JSON document\n"
               "  camexpert --module ./krvyrexSysapiExpert.out info");

    CommonOptions options;
    options.modulePath = programDirectory() + "/" + kModuleFile;
    app.add_option("--module", options.modulePath, "The expert module to load")
        ->capture_default_str();
    app.add_option("--driver", options.driver,
                   "Camera driver: 'sim' (the simulated driver) or the path of a driver library")
        ->capture_default_str();
    app.add_flag("--json", options.output.json, "Machine-readable output");

    CLI::App* info = app.add_subcommand("info", "The expert's identity and version record");

    CLI11_PARSE(app, argc, argv);

    try {
        ModuleLoader loader(driverPath(options.driver), options.modulePath);
        if (info->parsed()) {
            return runInfo(loader, options.output);
        }
    } catch (const HostError& error) {
        std::fprintf(stderr, "camexpert: %s\n", error.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "camexpert: unexpected failure: %s\n", error.what());
        return 2;
    }
    return 0;
}
