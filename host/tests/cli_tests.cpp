// camexpert run as a program: list, show, validate and info against scenarios
// the tests write, and the sentence and exit status of every kind of failure.
#include "HostProcess.h"
#include "Scenarios.h"
#include "TempDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

class CamexpertTest : public ::testing::Test {
protected:
    // Runs camexpert on the scenario with a one-second refresh period.
    ProcessResult run(const std::string& scenario, std::vector<std::string> arguments) {
        const std::string scenarioPath = files.write("scenario.json", scenario);
        const std::string ini = files.write("fast.ini", refreshPeriodIni(1));
        arguments.insert(arguments.begin(), {"--ini", ini, "--scenario", scenarioPath});
        return runCamexpert(arguments);
    }

    // Every one of the default test devices.
    ProcessResult runOnLab(std::vector<std::string> arguments) {
        return run(scenarios::of(scenarios::networkCamera() + "," + scenarios::kUsbCamera,
                                 scenarios::kFrameGrabber),
                   std::move(arguments));
    }

    TempDirectory files;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        out.push_back(line);
    }
    return out;
}

// The cells of a row of an aligned table, cut at the columns of its header.
std::vector<std::string> cells(const std::string& header, const std::string& row) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < header.size(); ++i) {
        if (header[i] != ' ' && (i == 0 || header[i - 1] == ' ')) {
            starts.push_back(i);
        }
    }
    std::vector<std::string> out;
    for (size_t c = 0; c < starts.size(); ++c) {
        const size_t end = c + 1 < starts.size() ? starts[c + 1] : row.size();
        std::string cell = starts[c] < row.size() ? row.substr(starts[c], end - starts[c]) : "";
        cell.erase(cell.find_last_not_of(' ') + 1);
        out.push_back(cell);
    }
    return out;
}

// The columns a terminal gives the text: two for a CJK or fullwidth character
// (UTF-8 lead bytes 0xE3 to 0xEF here), one for any other.
size_t terminalColumns(const std::string& text) {
    size_t columns = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        columns += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xE3 && byte <= 0xEF ? 2 : 1;
    }
    return columns;
}

const nlohmann::json* propertyWithTag(const nlohmann::json& document, const std::string& tag) {
    for (const nlohmann::json& property : document.at("properties")) {
        if (property.at("tag") == tag) {
            return &property;
        }
    }
    return nullptr;
}

TEST_F(CamexpertTest, ListShowsOneAlignedRowPerItemCamerasFirst) {
    const ProcessResult result = runOnLab({"list"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_THAT(result.err, IsEmpty());
    const std::vector<std::string> rows = lines(result.out);
    ASSERT_EQ(rows.size(), 6u) << result.out;
    EXPECT_EQ(cells(rows[0], rows[0]), (std::vector<std::string>{"NAME", "KIND", "BUS", "VENDOR",
                                                                 "MODEL", "SERIAL", "ADDRESS"}));
    EXPECT_EQ(cells(rows[0], rows[1]),
              (std::vector<std::string>{"gev0-cam0", "camera", "ipv4", "Kroneth", "KR GC-2450M",
                                        "4B5200A1F3C2", "192.168.10.21"}));
    // The expert writes "Lumora LightCam"; the vendor has its own column.
    EXPECT_EQ(cells(rows[0], rows[2]),
              (std::vector<std::string>{"usb3-1.2", "camera", "USB3", "Lumora", "LightCam",
                                        "2E3F1001", "-"}));
    EXPECT_EQ(cells(rows[0], rows[3]),
              (std::vector<std::string>{"clfg0", "frame grabber", "PCIe", "Kroneth",
                                        "KR FG-CL Dual Base", "10F3A0001", "-"}));
    EXPECT_EQ(rows[4], "");
    EXPECT_EQ(rows[5], "3 items: 2 cameras, 1 frame grabber");
}

TEST_F(CamexpertTest, ListNarrowsByNameKindAndBus) {
    struct Case {
        std::vector<std::string> arguments;
        std::string out;
    };
    const Case cases[] = {
        {{"-q", "GEV*", "usb*"}, "gev0-cam0\nusb3-1.2\n"},
        {{"-q", "--kind", "grabber"}, "clfg0\n"},
        {{"-q", "--kind", "camera", "--bus", "usb"}, "usb3-1.2\n"},
        {{"-q", "--bus", "IPV4"}, "gev0-cam0\n"},
        {{"--no-header", "--kind", "grabber"},
         "clfg0  frame grabber  PCIe  Kroneth  KR FG-CL Dual Base  10F3A0001  -\n"},
        {{"usb3-?.?"},
         "NAME      KIND    BUS   VENDOR  MODEL     SERIAL    ADDRESS\n"
         "usb3-1.2  camera  USB3  Lumora  LightCam  2E3F1001  -\n"
         "\n"
         "1 of 3 items: 1 camera, 0 frame grabbers\n"},
        {{"nosuch"}, "None of the 3 items matches.\n"},
        {{"-q", "--kind", "frame grabber"}, "clfg0\n"},
        {{"-q", "--kind", "Grabber"}, "clfg0\n"},
        {{"-q", "--bus", "usb3 "}, "usb3-1.2\n"},
        {{"-q", "--bus", "Network"}, "gev0-cam0\n"},
        {{"-q", "--bus", "sim"}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"list"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProcessResult result = runOnLab(arguments);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.out, c.out) << ::testing::PrintToString(c.arguments);
    }
}

TEST_F(CamexpertTest, ListAsJsonIsOneDocumentWithEveryItem) {
    const ProcessResult result = runOnLab({"list", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    const nlohmann::json& items = document.at("items");
    ASSERT_EQ(items.size(), 3u) << result.out;
    EXPECT_EQ(items[0].at("name"), "gev0-cam0");
    EXPECT_EQ(items[0].at("kind"), "camera");
    EXPECT_EQ(items[0].at("bus"), "ipv4");
    EXPECT_EQ(items[0].at("busClass"), "network");
    EXPECT_EQ(items[0].at("address"), "192.168.10.21");
    EXPECT_EQ(items[1].at("model"), "LightCam");
    EXPECT_EQ(items[1].at("busClass"), "USB");
    EXPECT_TRUE(items[1].at("address").is_null());
    EXPECT_EQ(items[2].at("kind"), "frame grabber");
    EXPECT_EQ(items[2].at("serialNumber"), "10F3A0001");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1)
        << "one line for a reader of lines: " << result.out;

    const ProcessResult pretty = runOnLab({"list", "--json", "--pretty"});
    ASSERT_EQ(pretty.exitStatus, 0) << pretty.err;
    EXPECT_THAT(pretty.out, StartsWith("{\n  \"items\": [\n"));
    EXPECT_EQ(nlohmann::json::parse(pretty.out), document);
}

TEST_F(CamexpertTest, ListWithoutDevicesSaysSo) {
    const ProcessResult text = run("{}", {"list"});
    EXPECT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_EQ(text.out, "No cameras or frame grabbers found.\n");
    const ProcessResult json = run("{}", {"--json", "list"});
    EXPECT_EQ(json.exitStatus, 0) << json.err;
    EXPECT_EQ(nlohmann::json::parse(json.out).at("items"), nlohmann::json::array());
}

TEST_F(CamexpertTest, ShowListsEveryPropertyWithLabelsTypesAndValues) {
    const ProcessResult result = runOnLab({"show", "gev0-cam0"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<std::string> rows = lines(result.out);
    ASSERT_GT(rows.size(), 3u);
    EXPECT_EQ(rows[0], "gev0-cam0: camera, 25 properties");
    const std::string& header = rows[2];
    std::map<std::string, std::vector<std::string>> byTag;
    for (size_t i = 3; i < rows.size(); ++i) {
        const std::vector<std::string> row = cells(header, rows[i]);
        byTag[row[0]] = row;
    }
    EXPECT_EQ(byTag.size(), 25u);
    const auto expect = [&](const std::string& tag, std::vector<std::string> row) {
        row.insert(row.begin(), tag);
        EXPECT_EQ(byTag[tag], row) << tag;
    };
    expect("0x01007000", {"Serial number", "string", "4B5200A1F3C2"});
    expect("0x01004000", {"Vendor", "string", "Kroneth"});
    expect("0x01006000", {"Model", "string", "KR GC-2450M"});
    expect("0x0101D000", {"Item name", "string", "gev0-cam0"});
    expect("0x0101F000", {"Interface name", "string", "gev0-cam0"});
    expect("0x0102C000", {"IP address", "string", "192.168.10.21"});
    expect("0x01025000", {"Subnet mask", "string", "255.255.255.0"});
    expect("0x07009000", {"Bus kind", "signed", "0x69707634 \"ipv4\" (network)"});
    expect("0x0700C000", {"Driver version", "unsigned", "0x00040203 (4.2.3)"});
    expect("0x0700D000", {"Driver name", "string", "VyrexGigE"});
    expect("0x01008000", {"Frame grabber", "boolean", "false"});
    expect("0x0101C000", {"-", "signed", "1"});
    expect("0x01033000", {"-", "string", "\"\""});
}

TEST_F(CamexpertTest, ShowOfAFrameGrabberDecodesItsLinks) {
    const ProcessResult result = runOnLab({"show", "clfg0"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("clfg0: frame grabber, 34 properties"));
    EXPECT_THAT(result.out, HasSubstr("Link speed A             signed    1 (5.0 GT/s)"));
    EXPECT_THAT(result.out, HasSubstr("Link speed B             signed    -1 (Not Detected)"));
    EXPECT_THAT(result.out, HasSubstr("Link width B (text)      string    X8"));
    EXPECT_THAT(result.out, HasSubstr("Vendor ID                unsigned  0x1DB5"));
}

TEST_F(CamexpertTest, ShowAsJsonKeepsTypedValues) {
    const ProcessResult result = runOnLab({"show", "usb3-1.2", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    // An item as list has it, with its properties besides.
    nlohmann::json item = document;
    item.erase("properties");
    EXPECT_EQ(
        item,
        nlohmann::json::parse(runOnLab({"list", "--json", "usb3-1.2"}).out).at("items").at(0));
    for (const nlohmann::json& property : document.at("properties")) {
        EXPECT_TRUE(property.contains("tag") && property.contains("label") &&
                    property.contains("type") && property.contains("value"))
            << property.dump();
    }
    const nlohmann::json* vendorId = propertyWithTag(document, "0x01003000");
    ASSERT_NE(vendorId, nullptr);
    EXPECT_EQ(vendorId->at("value"), 0x2C7A);
    EXPECT_EQ(vendorId->at("display"), "0x2C7A");
    EXPECT_EQ(vendorId->at("label"), "Vendor ID");
    const nlohmann::json* bus = propertyWithTag(document, "0x07009000");
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(bus->at("value"), 0x55534233);
    EXPECT_EQ(bus->at("display"), "0x55534233 \"USB3\" (USB)");
    const nlohmann::json* flag = propertyWithTag(document, "0x01008000");
    ASSERT_NE(flag, nullptr);
    EXPECT_EQ(flag->at("value"), false);
    const nlohmann::json* unlabelled = propertyWithTag(document, "0x0101B000");
    ASSERT_NE(unlabelled, nullptr);
    EXPECT_TRUE(unlabelled->at("label").is_null());
}

TEST_F(CamexpertTest, ShowFindsANameWrittenInOtherLetterCaseAndNamesItAsTheDeviceDoes) {
    const ProcessResult result = runOnLab({"show", "GEV0-CAM0", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document.at("name"), "gev0-cam0");
    EXPECT_EQ(propertyWithTag(document, "0x0101D000")->at("value"), "GEV0-CAM0");
    EXPECT_EQ(propertyWithTag(document, "0x0101F000")->at("value"), "gev0-cam0");
    const ProcessResult text = runOnLab({"show", "GEV0-CAM0"});
    EXPECT_THAT(text.out, StartsWith("gev0-cam0: camera, 25 properties\n"));
}

// The program lends the module its UTF-8 conversion: driver texts and names
// written in UTF-8 arrive whole, and a name typed in UTF-8 finds its item.
TEST_F(CamexpertTest, Utf8TextsAndNamesArriveWhole) {
    const ProcessResult result =
        run(scenarios::of(R"({"bus": "USB3", "interface": "usb-ä", "vendor": "Müller Optik",
                            "model": "Æ-1", "serial": 1})",
                          ""),
            {"show", "usb-ä", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    EXPECT_EQ(propertyWithTag(document, "0x01004000")->at("value"), "Müller Optik");
    EXPECT_EQ(propertyWithTag(document, "0x01006000")->at("value"), "Müller Optik Æ-1");
}

TEST_F(CamexpertTest, ShowOfAnUnknownNameNamesTheItemsThereAre) {
    const ProcessResult result = runOnLab({"show", "nosuch"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_THAT(result.out, IsEmpty());
    EXPECT_EQ(result.err,
              "camexpert: No item is named 'nosuch'. The items are: gev0-cam0, usb3-1.2, clfg0.\n");
    const ProcessResult empty = run("{}", {"show", "nosuch"});
    EXPECT_EQ(empty.exitStatus, 1);
    EXPECT_EQ(empty.err, "camexpert: No item is named 'nosuch': the driver reports no cameras or "
                         "frame grabbers.\n");
}

TEST_F(CamexpertTest, ValidateShowsEveryChangeRejectedAndWhy) {
    const ProcessResult result =
        runOnLab({"validate", "gev0-cam0", "0x01004000=Acme Optics", "0x07006000=7"});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    EXPECT_EQ(result.out,
              "Changes to gev0-cam0:\n"
              "\n"
              "TAG         LABEL         TYPE      FROM        TO             VERDICT\n"
              "0x01004000  Vendor        string    \"Kroneth\"   \"Acme Optics\"  rejected\n"
              "0x07006000  Entry word 0  unsigned  0x00000000  0x00000007     rejected\n"
              "\n"
              "The expert rejects 2 of 2 changes: the expert accepts no changes to its items.\n");
}

// A change has one shape in JSON, in validate as in watch.
TEST_F(CamexpertTest, ValidateAsJsonGivesTheItemTheChangesAndTheVerdict) {
    const ProcessResult result = runOnLab({"validate", "usb3-1.2", "--json", "0x07006000=0x10",
                                           "0x01999000=bool:yes", "0x01004000=string:uint:5"});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document.at("item").at("name"), "usb3-1.2");
    EXPECT_EQ(document.at("item").at("vendor"), "Lumora");
    EXPECT_EQ(document.at("changes"), nlohmann::json::parse(R"([
        {"name": "usb3-1.2", "tag": "0x07006000", "label": "Entry word 0", "type": "unsigned",
         "from": 0, "to": 16},
        {"name": "usb3-1.2", "tag": "0x01999000", "label": null, "type": "boolean",
         "from": null, "to": true},
        {"name": "usb3-1.2", "tag": "0x01004000", "label": "Vendor", "type": "string",
         "from": "Lumora", "to": "uint:5"}])"));
    EXPECT_EQ(document.at("rejectedTags"),
              (nlohmann::json{"0x07006000", "0x01999000", "0x01004000"}));
    EXPECT_EQ(document.at("accepted"), false);
    EXPECT_EQ(document.at("reason"), "the expert accepts no changes to its items");
}

TEST_F(CamexpertTest, ValidateOfAnUnknownNameFails) {
    const ProcessResult result = runOnLab({"validate", "nosuch", "0x01004000=Acme"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_THAT(result.err, StartsWith("camexpert: No item is named 'nosuch'."));
}

TEST_F(CamexpertTest, LoadFailuresAreSentences) {
    const ProcessResult missing = runCamexpert({"--module", files.path("none.out"), "list"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "camexpert: Cannot load the expert module " + files.path("none.out") +
                               ": cannot open shared object file: No such file or directory.\n");

    const ProcessResult notAnExpert = runCamexpert({"--module", simulatedDriverPath(), "info"});
    EXPECT_EQ(notAnExpert.exitStatus, 1);
    EXPECT_EQ(notAnExpert.err, "camexpert: The module " + simulatedDriverPath() +
                                   " does not export createVyrexSysapiExpert, so it is not a "
                                   "camera expert module.\n");

    const ProcessResult noDriver = runCamexpert({"--driver", files.path("none.so"), "list"});
    EXPECT_EQ(noDriver.exitStatus, 1);
    EXPECT_THAT(noDriver.err, StartsWith("camexpert: Cannot load the camera driver " +
                                         files.path("none.so") + ": "));

    const ProcessResult failingFactory = runCamexpert({"--module", fakeModulePath(), "list"});
    EXPECT_EQ(failingFactory.exitStatus, 1);
    EXPECT_EQ(failingFactory.err, "camexpert: The expert could not be created: "
                                  "createVyrexSysapiExpert returned 0x8007000E (E_OUTOFMEMORY: "
                                  "out of memory).\n");
}

// Each mistake gets one sentence on stderr: what is wrong, what would be
// right. Status 2 for the command line, 1 for a scenario the driver cannot
// use; either way nothing on stdout, where it would look like an empty bench.
TEST_F(CamexpertTest, MistakesAreToldInOneSentence) {
    const std::string lab = files.write("lab.json", scenarios::of(scenarios::networkCamera()));
    const std::string broken = files.write("broken.json", "{");
    const std::string misspelt = files.write(
        "misspelt.json", R"({"cameras": [{"bus": "ipv4", "interface": "a", "vendr": "X"}]})");
    const std::string shortBus =
        files.write("bus.json", R"({"cameras": [{"bus": "USB", "interface": "a"}]})");
    const std::string none = files.path("none.json");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string sentence;
    };
    const Case cases[] = {
#if KR_HOST_MQTT
        {{},
         2,
         "a subcommand is required: info, list, show, watch, validate, publish, fleet or serve"},
#else
        {{}, 2, "a subcommand is required: info, list, show, watch or validate"},
#endif
#if KR_HOST_MQTT
        {{"fleet", "--broker", "http://broker.plant"},
         2,
         "--broker must be HOST, HOST:PORT, [IPv6]:PORT, mqtt://HOST[:PORT] or "
         "mqtts://HOST[:PORT], with a port from 1 to 65535"},
        {{"publish", "--broker", "mqtt://broker.plant:1883:1"},
         2,
         "--broker must be HOST, HOST:PORT, [IPv6]:PORT, mqtt://HOST[:PORT] or "
         "mqtts://HOST[:PORT], with a port from 1 to 65535"},
#endif
        {{"lsit"}, 2, "unknown subcommand 'lsit'; did you mean 'list'?"},
        {{"--scenaro", lab, "list"}, 2, "unknown option '--scenaro'; did you mean '--scenario'?"},
        {{"list", "--no-such-option"},
         2,
         "unknown option '--no-such-option'; camexpert list --help lists the options"},
        {{"--count", "3", "watch"}, 2, "--count is an option of watch: give it after watch"},
        {{"--driver", "ararvis", "list"},
         2,
         "unknown driver 'ararvis': use sim, aravis or the path of a driver library"},
        {{"watch", "--count", "0"}, 2, "--count must be a whole number of at least 1"},
        {{"watch", "--count"},
         2,
         "--count needs a value; camexpert watch --help tells what it takes"},
        {{"watch", "--duration", "0"},
         2,
         "--duration must be a number of seconds above 0, at most 31622400"},
        {{"--settle", "abc", "list"}, 2, "--settle must be a number of seconds from 0 to 3600"},
        {{"--settle", "nan", "list"}, 2, "--settle must be a number of seconds from 0 to 3600"},
        {{"list", "--kind", "cameras"},
         2,
         "unknown kind 'cameras': --kind must be camera, grabber or frame grabber"},
        {{"list", "--bus", "GigE"},
         2,
         "unknown bus 'GigE': --bus must be a bus kind (ipv4, IPcm, USB3, UVC, 1394, CLNK, sim or "
         "PCIe) or a class (network, USB, FireWire, Camera Link or simulated)"},
        {{"list", "-v"}, 2, "unknown option '-v'; camexpert list --help lists the options"},
        {{"show", "a", "--kind", "camera"}, 2, "--kind is an option of list, not of show"},
        {{"list", "--jsno"}, 2, "unknown option '--jsno'; did you mean '--json'?"},
#if KR_HOST_MQTT
        {{"fleet", "--broker", "127.0.0.1", "--no-header"},
         2,
         "--no-header is an option of list, not of fleet"},
        {{"fleet", "--broker", "127.0.0.1", "--inii", "x"},
         2,
         "unknown option '--inii'; camexpert fleet --help lists the options"},
#endif
        {{"show"}, 2, "show needs NAME: the name of an item, as list shows it"},
        {{"show", "a", "b"},
         2,
         "unexpected argument 'b'; camexpert show --help tells what show takes"},
        {{"--scenario", none, "list"},
         2,
         "there is no file '" + none + "': --scenario needs the path of a scenario file"},
        {{"--ini", files.path(), "list"},
         2,
         "'" + files.path() + "' is a directory: --ini needs the path of an INI file"},
        {{"--scenario", lab, "--driver", "aravis", "list"},
         2,
         "--scenario describes devices for the simulated driver; it does not go with --driver "
         "aravis."},
        {{"--scenario", lab, "validate", "gev0-cam0", "Acme"},
         2,
         "'Acme' is not a change: write TAG=VALUE, for example 0x01004000=Acme."},
        {{"--scenario", lab, "validate", "gev0-cam0", "0xZZ=1"},
         2,
         "'0xZZ' in '0xZZ=1' is not a property tag: tags are hexadecimal numbers of up to 8 "
         "digits, for example 0x01004000."},
        {{"--scenario", lab, "validate", "gev0-cam0", "0x07006000=-1"},
         2,
         "'-1' in '0x07006000=-1' is not an unsigned 32-bit number, as property 0x07006000 "
         "(Entry word 0) needs."},
        {{"--scenario", lab, "validate", "gev0-cam0", "0x01999000=5"},
         2,
         "gev0-cam0 has no property 0x01999000, so the type of its value is unknown: name it, "
         "for example 0x01999000=string:5."},
        {{"--scenario", lab, "validate", "gev0-cam0", "0x01999000=float:5"},
         2,
         "unknown prefix 'float:' in '0x01999000=float:5'; prefixes are string:, signed: (int:), "
         "unsigned: (uint:), boolean: (bool:), double:, guid:"},
        {{"--scenario", lab, "validate", "gev0-cam0", "0x01004000=a", "0x1004000=b"},
         2,
         "Property 0x01004000 is given twice ('0x01004000=a' and '0x1004000=b'): give each tag "
         "once."},
        {{"--scenario", broken, "list"},
         1,
         "Cannot use the scenario " + broken +
             ": line 1, column 2: syntax error while parsing object key - unexpected end of "
             "input; expected string literal."},
        {{"--json", "--scenario", misspelt, "list"},
         1,
         "Cannot use the scenario " + misspelt + ": cameras[0]: unknown field \"vendr\"."},
        {{"--scenario", shortBus, "show", "a"},
         1,
         "Cannot use the scenario " + shortBus +
             ": cameras[0].bus: expected four printable ASCII characters, got \"USB\"."},
    };
    for (const Case& c : cases) {
        const ProcessResult result = runCamexpert(c.arguments);
        EXPECT_EQ(result.exitStatus, c.status) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(result.err, "camexpert: " + c.sentence + "\n");
        EXPECT_THAT(result.out, IsEmpty());
    }
}

TEST_F(CamexpertTest, HelpAndVersion) {
    const ProcessResult help = runCamexpert({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_THAT(help.out, HasSubstr("Examples:"));
    EXPECT_THAT(help.out, HasSubstr("--driver"));
    const ProcessResult version = runCamexpert({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "camexpert 18.5\n");
}

TEST_F(CamexpertTest, InfoAsJson) {
    const ProcessResult result = runCamexpert({"info", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document.at("name"), "KR Vyrex Sysapi Expert");
    EXPECT_EQ(document.at("productId"), "{4FA27960-F165-4292-A03E-6D88D34563C9}");
    EXPECT_EQ(document.at("iniFile"), "/c/kr-rt.ini");
    EXPECT_EQ(document.at("versionRecord").at("CompanyName"), "Kroneth Corporation");
}

// The refresh period counts only as a whole number above 0; else the
// expert's default applies, and info says why.
TEST_F(CamexpertTest, InfoTellsTheRefreshPeriodTheIniFileGives) {
    const std::string key = "SystemapiExpertCameraListRefreshTimeInSec";
    struct Case {
        std::string ini;
        std::string period;
    };
    const Case cases[] = {
        {"[VYREX]\n" + key + "=1\n", "1 s, from [VYREX] " + key},
        {"[vyrex]\n" + key + " = +3\n", "3 s, from [VYREX] " + key},
        {"[VYREX]\n" + key + "=0\n",
         "2 s, the default: " + key + "=0 is not a whole number above 0"},
        {"[OTHER]\n" + key + "=1\n", "2 s, the default: the file has no [VYREX] " + key},
    };
    for (const Case& c : cases) {
        const std::string ini = files.write("period.ini", c.ini);
        const ProcessResult result = runCamexpert({"--ini", ini, "info"});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_THAT(result.out, HasSubstr("\nINI file           " + ini + "\n"));
        EXPECT_THAT(result.out, HasSubstr("\nRefresh period     " + c.period + "\n"));
    }
    const nlohmann::json missing =
        nlohmann::json::parse(runCamexpert({"info", "--json"}).out).at("refreshPeriod");
    EXPECT_EQ(missing, (nlohmann::json{{"seconds", 2},
                                       {"fromIniFile", false},
                                       {"defaultBecause",
                                        "the file cannot be read (No such file or directory)"}}));
}

// Cameras on a network are not trusted: what they report reaches a terminal
// as characters, never as control sequences.
TEST_F(CamexpertTest, HostileDeviceTextsAreShownEscaped) {
    struct Case {
        std::string json;    // as the scenario writes it
        std::string text;    // what it is
        std::string escaped; // how a terminal shows it
    };
    const Case cases[] = {
        {R"(\u001b[31mRed)", "\x1b[31mRed", R"(\x1b[31mRed)"},
        {R"(\u001b]0;title\u0007)", "\x1b]0;title\x07", R"(\x1b]0;title\x07)"},
        {R"(Tab\tNew\nLine\r)", "Tab\tNew\nLine\r", R"(Tab\x09New\x0aLine\x0d)"},
        {R"(Del\u007f)", "Del\x7f", R"(Del\x7f)"},
        {R"(\u009b2JCSI)",
         "\xc2\x9b"
         "2JCSI",
         R"(\u009b2JCSI)"},
        {R"(txe\u202eRTL)", "txe\u202eRTL", R"(txe\u202eRTL)"},
        {R"(\u2067Iso\u2069)", "\u2067Iso\u2069", R"(\u2067Iso\u2069)"},
        {R"(Zero\u200bWidth\u200f)", "Zero\u200bWidth\u200f", R"(Zero\u200bWidth\u200f)"},
        {R"(\ufeffBOM)", "\ufeffBOM", R"(\ufeffBOM)"},
        {R"(日本光学)", "日本光学", "日本光学"},
        {R"(Ａｃｍｅ)", "Ａｃｍｅ", "Ａｃｍｅ"},
    };
    // Every camera but the first has a model, in the column after the vendors.
    std::string cameras;
    for (size_t i = 0; i < std::size(cases); ++i) {
        cameras += std::string(i == 0 ? "" : ",") + R"({"bus": "ipv4", "interface": "cam)" +
                   std::to_string(i) + R"(\u001b[2J", "vendor": ")" + cases[i].json +
                   (i == 0 ? "" : R"(", "model": "M)") + R"(", "serial": 1})";
    }
    const std::string scenario = files.write("hostile.json", scenarios::of(cameras));
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--scenario", scenario});
        const ProcessResult result = runCamexpert(arguments);
        const std::string all = result.out + result.err;
        EXPECT_EQ(std::count_if(all.begin(), all.end(),
                                [](char c) {
                                    const auto byte = static_cast<unsigned char>(c);
                                    return (byte < 0x20 && c != '\n') || byte == 0x7F ||
                                           byte == 0xC2;
                                }),
                  0)
            << ::testing::PrintToString(arguments) << ": " << all;
        for (const char* layout : {"\u202e", "\u2067", "\u2069", "\u200b", "\u200f", "\ufeff"}) {
            EXPECT_EQ(all.find(layout), std::string::npos)
                << ::testing::PrintToString(arguments) << ": " << all;
        }
        return all;
    };
    const std::string outputs[] = {
        run({"list"}),
        run({"watch", "--count", "1"}),
        run({"show", "cam0\x1b[2J"}) + run({"show", "cam4\x1b[2J"}),
        run({"validate", "cam1\x1b[2J", "0x01004000=x"}),
        run({"show", "nosuch"}),
    };
    for (const Case& c : cases) {
        EXPECT_THAT(outputs[0], HasSubstr(c.escaped));
        EXPECT_THAT(outputs[1], HasSubstr(c.escaped));
    }
    EXPECT_THAT(outputs[0], HasSubstr("cam0\\x1b[2J"));
    EXPECT_THAT(outputs[2], HasSubstr(cases[0].escaped));
    EXPECT_THAT(outputs[2], HasSubstr(cases[4].escaped));
    EXPECT_THAT(outputs[3], HasSubstr("\"" + cases[1].escaped + "\""));
    EXPECT_THAT(outputs[4], HasSubstr("The items are: cam0\\x1b[2J"));
    EXPECT_THAT(run({"show", R"(CAM0\x1b[2J)"}), StartsWith(R"(cam0\x1b[2J: camera, )"))
        << "a name is found as list shows it, escaped";

    // Wide characters take two columns: the models stand in one column.
    std::set<size_t> modelColumns;
    for (const std::string& row : lines(outputs[0])) {
        const size_t model = row.find("  M  ");
        if (model != std::string::npos) {
            modelColumns.insert(terminalColumns(row.substr(0, model)));
        }
    }
    EXPECT_EQ(modelColumns.size(), 1u) << outputs[0];
    EXPECT_THAT(outputs[0], Not(HasSubstr("cam0\\x1b[2J  camera  ipv4  \\x1b[31mRed  ")))
        << "a model cell, not a dangling blank";

    const nlohmann::json items = nlohmann::json::parse(run({"list", "--json"})).at("items");
    ASSERT_EQ(items.size(), std::size(cases));
    for (const nlohmann::json& item : items) { // cam10 comes before cam2
        const size_t i = std::stoul(item.at("name").get<std::string>().substr(3));
        EXPECT_EQ(item.at("vendor"), cases[i].text) << "JSON escapes and keeps the text";
        EXPECT_EQ(item.at("model"), i == 0 ? "" : "M") << "no vendor with a blank for a model";
    }
}

// A driver that discovers its devices slowly gets time to report them; a
// person at a terminal is told, a pipe gets nothing extra.
TEST_F(CamexpertTest, WaitingForTheFirstDevicesIsToldOnATerminalOnly) {
    const std::string scenario = files.write("empty.json", "{}");
    const std::vector<std::string> arguments = {"--scenario", scenario, "--settle", "1", "list"};
    const ProcessResult piped = runCamexpert(arguments);
    EXPECT_EQ(piped.exitStatus, 0) << piped.err;
    EXPECT_EQ(piped.out,
              "No cameras or frame grabbers found in 1 s; --settle SECONDS waits longer.\n");
    EXPECT_THAT(piped.err, IsEmpty());

    const ProcessResult terminal =
        runCamexpert(arguments, std::chrono::seconds(60), ErrorOutput::Terminal);
    EXPECT_EQ(terminal.out, piped.out);
    EXPECT_EQ(terminal.err, "searching for cameras, up to 1 s; --settle changes that\r\x1b[K")
        << "the line is taken away when the wait ends";
}

} // namespace
