// camexpert run as a program: list, show, validate and info against scenarios
// the tests write, and the sentence and exit status of every kind of failure.
#include "HostProcess.h"
#include "Scenarios.h"
#include "TempDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

using ::testing::HasSubstr;
using ::testing::IsEmpty;
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
    ASSERT_EQ(rows.size(), 4u) << result.out;
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
    EXPECT_EQ(document.at("name"), "usb3-1.2");
    EXPECT_EQ(document.at("kind"), "camera");
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

TEST_F(CamexpertTest, ShowFindsANameWrittenInOtherLetterCase) {
    const ProcessResult result = runOnLab({"show", "GEV0-CAM0", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    EXPECT_EQ(propertyWithTag(document, "0x0101D000")->at("value"), "GEV0-CAM0");
    EXPECT_EQ(propertyWithTag(document, "0x0101F000")->at("value"), "gev0-cam0");
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

TEST_F(CamexpertTest, ValidateShowsEveryChangeRejected) {
    const ProcessResult result =
        runOnLab({"validate", "gev0-cam0", "0x01004000=Acme Optics", "0x07006000=7"});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    EXPECT_THAT(result.out, StartsWith("Changes to gev0-cam0:\n"));
    EXPECT_THAT(result.out,
                HasSubstr("0x01004000  Vendor        string    \"Acme Optics\"  rejected"));
    EXPECT_THAT(result.out,
                HasSubstr("0x07006000  Entry word 0  unsigned  7              rejected"));
    EXPECT_THAT(result.out, HasSubstr("The expert rejects 2 of 2 changes."));
}

TEST_F(CamexpertTest, ValidateAsJsonListsTheRejectedTagsInOrder) {
    const ProcessResult result = runOnLab({"validate", "usb3-1.2", "--json", "0x07006000=0x10",
                                           "0x01999000=bool:yes", "0x01004000=string:uint:5"});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document.at("name"), "usb3-1.2");
    EXPECT_EQ(document.at("accepted"), false);
    EXPECT_EQ(document.at("rejectedTags"),
              (nlohmann::json{"0x07006000", "0x01999000", "0x01004000"}));
    const nlohmann::json& changes = document.at("changes");
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].at("type"), "unsigned");
    EXPECT_EQ(changes[0].at("value"), 16);
    EXPECT_EQ(changes[1].at("type"), "boolean");
    EXPECT_EQ(changes[1].at("value"), true);
    EXPECT_EQ(changes[2].at("value"), "uint:5");
    EXPECT_EQ(changes[2].at("accepted"), false);
    EXPECT_TRUE(document.at("message").is_null());
}

TEST_F(CamexpertTest, MalformedChangesAreRefusedWithASentence) {
    struct Case {
        std::vector<std::string> changes;
        std::string sentence;
    };
    const Case cases[] = {
        {{"Acme"}, "'Acme' is not a change: write TAG=VALUE, for example 0x01004000=Acme."},
        {{"0xZZ=1"},
         "'0xZZ' in '0xZZ=1' is not a property tag: tags are hexadecimal numbers "
         "of up to 8 digits, for example 0x01004000."},
        {{"0x07006000=-1"},
         "'-1' in '0x07006000=-1' is not an unsigned 32-bit number, as "
         "property 0x07006000 (Entry word 0) needs."},
        {{"0x01008000=maybe"},
         "'maybe' in '0x01008000=maybe' is not a boolean (true or false), "
         "as property 0x01008000 (Frame grabber) needs."},
        {{"0x01999000=5"},
         "gev0-cam0 has no property 0x01999000, so the type of its value is "
         "unknown: name it, for example 0x01999000=string:5."},
        {{"0x01004000=a", "0x1004000=b"},
         "Property 0x01004000 is given twice ('0x01004000=a' and '0x1004000=b')."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"validate", "gev0-cam0"};
        arguments.insert(arguments.end(), c.changes.begin(), c.changes.end());
        const ProcessResult result = runOnLab(arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.changes[0];
        EXPECT_EQ(result.err, "camexpert: " + c.sentence + "\n");
        EXPECT_THAT(result.out, IsEmpty());
    }
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

TEST_F(CamexpertTest, CommandLineMistakesEndWithStatusTwo) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {},
             {"list", "--no-such-option"},
             {"show"},
             {"validate", "gev0-cam0"},
             {"--scenario", files.path("none.json"), "list"},
             {"--ini", files.path("none.ini"), "list"},
             {"watch", "--count", "0"},
         }) {
        const ProcessResult result = runCamexpert(arguments);
        EXPECT_EQ(result.exitStatus, 2) << ::testing::PrintToString(arguments);
        EXPECT_THAT(result.err, Not(IsEmpty()));
        EXPECT_THAT(result.err, Not(HasSubstr("terminate called")));
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
    EXPECT_EQ(document.at("versionRecord").at("CompanyName"), "Kroneth Corporation");
}

} // namespace
