#include "cli/CommandLine.h"

#include "cli/OptionChecks.h"
#include "commands/ChangeParser.h"

#include "contract/Version.h"

namespace {

constexpr const char* kExamples = R"(Examples:
  camexpert list                              every camera and frame grabber
  camexpert list --json                       the same as one JSON document
  camexpert list 'gev*' --kind camera -q      names of the cameras whose names begin gev
  camexpert show gev0-cam0                    every property of one item
  camexpert watch                             the items there are, then each change (Ctrl-C stops)
  camexpert watch --json --count 1            the items there are as one JSON line, then stop
  camexpert validate gev0-cam0 0x01004000=Acme 0x07006000=uint:7
                                              whether the expert takes these two changes
  camexpert --scenario my-lab.json list       the simulated driver with your own devices
  camexpert --ini fast.ini watch              a refresh period from another INI file
  camexpert --driver aravis list              real GigE Vision / USB3 Vision cameras

Exit status: 0 success, 1 failure, 2 wrong command line, 3 validate: a change was rejected.)";

// Up to an hour: longer is a mistake rather than a wait.
constexpr double kSettleLimitSec = 3600;
// Up to a year: long enough for any watch that ends by itself.
constexpr double kDurationLimitSec = 366 * 24 * 3600;

void defineCommonOptions(CLI::App& app, CommandLine& line) {
    // The default is told, not shown: the man page is made from this text in
    // the build tree, whose paths mean nothing on the machine it is read on.
    app.add_option("--module", line.modulePath,
                   "The expert module to load (default: krvyrexSysapiExpert.out beside the "
                   "program, or in its library folder once installed)");
    app.add_option("--driver", line.driver,
                   "Camera driver: 'sim' (simulated), 'aravis' (GigE Vision and USB3 Vision "
                   "cameras) or the path of a driver library")
        ->capture_default_str()
        ->check(driverChoice());
    app.add_option("--ini", line.iniPath,
                   "INI file the expert reads its refresh period from, instead of /c/kr-rt.ini "
                   "(without one the period is 2 s)")
        ->check(existingFile("--ini", "an INI file"));
    app.add_option("--scenario", line.scenarioPath,
                   "Scenario file of the simulated driver (sets VYREX_SIM_SCENARIO); watch "
                   "takes it also when it appears later")
        ->check(notADirectory("--scenario", "a scenario file"));
    app.add_option("--settle", line.settleSec,
                   "Seconds list, show and validate wait for the driver's first devices; 0 does "
                   "not wait (default 4 with --driver aravis, else 0)")
        ->check(seconds("--settle", true, kSettleLimitSec));
    app.add_flag("--json", line.output.json,
                 "Machine-readable output: one JSON document, on one line unless written to a "
                 "terminal (watch: one line per event)");
    app.add_flag("--pretty", line.output.pretty,
                 "With --json: indent the document also when "
                 "it is not written to a terminal");
}

void defineList(CLI::App& app, CommandLine& line) {
    CLI::App* list = app.add_subcommand(
        "list", "One row per camera or frame grabber: name, kind, bus, vendor, model (without "
                "the vendor's name), serial number, IP address; then how many there are");
    ItemFilter& filter = line.list.filter;
    list->add_option("NAME", filter.patterns,
                     "Only items whose names match one of these shell patterns ('gev*'), letter "
                     "case aside");
    addKindAndBusOptions(list, filter);
    list->add_flag("-q,--quiet", line.list.namesOnly, "Only the names, one a line");
    list->add_flag("--no-header", line.list.noHeader,
                   "Only the rows: no header, no count line, nothing when no item is there or "
                   "matches");
}

void defineWatch(CLI::App& app, CommandLine& line) {
    CLI::App* watch = app.add_subcommand(
        "watch", "Print the items there are, then each change as the expert reports it, until "
                 "Ctrl-C");
    watch->add_option("--duration", line.watch.durationSec, "Stop after this many seconds")
        ->check(seconds("--duration", false, kDurationLimitSec));
    watch
        ->add_option("--count", line.watch.count, "Stop after this many events, the first included")
        ->check(wholeNumberAtLeastOne("--count"));
}

void defineValidate(CLI::App& app, CommandLine& line) {
    CLI::App* validate = app.add_subcommand(
        "validate", "Ask the expert to validate changes to an item's properties");
    validate->add_option("NAME", line.itemName, "the name of an item, as list shows it")
        ->required();
    validate
        ->add_option("TAG=VALUE", line.assignments,
                     "a changed property, TAG in hexadecimal, VALUE read as the property's type "
                     "or after a prefix " +
                         typePrefixes() + ", for example 0x01004000=Acme")
        ->required();
}

} // namespace

void addKindAndBusOptions(CLI::App* command, ItemFilter& filter) {
    command
        ->add_option("--kind", filter.kind,
                     "Only cameras or only frame grabbers: camera, grabber or 'frame grabber'")
        ->transform(kindChoice());
    command
        ->add_option("--bus", filter.bus,
                     "Only items on this bus kind (ipv4, IPcm, USB3, UVC, 1394, CLNK, sim, PCIe) "
                     "or class (network, USB, FireWire, 'Camera Link', simulated), letter case "
                     "aside")
        ->transform(busChoice());
}

void defineCommandLine(CLI::App& app, CommandLine& line) {
    app.set_version_flag("--version", "camexpert " KR_VERSION_TEXT);
    app.require_subcommand(1);
    app.fallthrough(); // the common options may follow the subcommand too
    app.footer(kExamples);
    // An option given twice takes the later value, so a script can add to a
    // command line another one wrote.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    defineCommonOptions(app, line);

    app.add_subcommand("info", "The expert's identity and version record, the INI file it reads "
                               "and the refresh period it gives");
    defineList(app, line);
    CLI::App* show =
        app.add_subcommand("show", "Every property of one item: tag, label, type, value");
    show->add_option("NAME", line.itemName, "the name of an item, as list shows it")->required();
    defineWatch(app, line);
    defineValidate(app, line);
#if KR_HOST_MQTT
    defineBrokerCommands(app, line.publish, line.fleet);
    defineServeCommand(app, line.serve);
#endif
}

const CLI::App* parsedSubcommand(const CLI::App& app) {
    const std::vector<CLI::App*> parsed = app.get_subcommands();
    return parsed.empty() ? nullptr : parsed.front();
}
