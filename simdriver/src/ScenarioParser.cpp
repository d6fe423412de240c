#include "simdriver/src/ScenarioParser.h"

#include <nlohmann/json.hpp>

#include <cinttypes>
#include <cstdio>
#include <initializer_list>

namespace vyrexsim {
namespace {

using Json = nlohmann::json;

constexpr size_t kMaxTextLength = kVyrexTextSize - 1;
constexpr uint64_t kMax16 = 0xFFFF;
constexpr uint64_t kMax32 = 0xFFFFFFFF;
constexpr uint64_t kMax64 = UINT64_MAX;

// A field that cannot be used: where it is and why.
struct FieldError {
    std::string path;
    std::string reason;
};

[[noreturn]] void Reject(const std::string& path, const std::string& reason) {
    throw FieldError{path, reason};
}

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIX64, value);
    return text;
}

// A value as it appears in a message: its JSON text, cut short.
std::string Shown(const Json& value) {
    constexpr size_t kShownLength = 40;
    std::string text = value.dump();
    if (text.size() > kShownLength) {
        text.resize(kShownLength);
        text += "...";
    }
    return text;
}

// Refuses unknown keys, so that a misspelt field is not silently ignored.
void CheckKeys(const Json& object, const std::string& path,
               std::initializer_list<const char*> known) {
    if (!object.is_object()) {
        Reject(path, "expected an object, got " + Shown(object));
    }
    for (const auto& item : object.items()) {
        bool found = false;
        for (const char* key : known) {
            found = found || item.key() == key;
        }
        if (!found) {
            Reject(path, "unknown field \"" + item.key() + "\"");
        }
    }
}

const Json* Find(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const Json& Need(const Json& object, const std::string& path, const char* key) {
    const Json* value = Find(object, key);
    if (value == nullptr) {
        Reject(path, std::string("missing field \"") + key + "\"");
    }
    return *value;
}

std::string ReadText(const Json& value, const std::string& path) {
    if (!value.is_string()) {
        Reject(path, "expected a text, got " + Shown(value));
    }
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() > kMaxTextLength) {
        Reject(path, "longer than " + std::to_string(kMaxTextLength) + " bytes");
    }
    if (text.find('\0') != std::string::npos) {
        Reject(path, "contains a zero byte");
    }
    return text;
}

// Hexadecimal digits with an optional 0x, as the expert shows serial numbers.
uint64_t ParseHexText(const std::string& text, const std::string& path, uint64_t max) {
    size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        start = 2;
    }
    if (start == text.size()) {
        Reject(path, "expected hexadecimal digits, got \"" + text + "\"");
    }
    uint64_t value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = unsigned(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = unsigned(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = unsigned(c - 'a' + 10);
        } else {
            Reject(path, "expected hexadecimal digits, got \"" + text + "\"");
        }
        if (value > (max >> 4) || (value << 4) > max - digit) {
            Reject(path, "\"" + text + "\" is larger than " + Hex(max));
        }
        value = (value << 4) | digit;
    }
    return value;
}

enum class HexText { Allowed, Refused };

uint64_t ReadUnsigned(const Json& value, const std::string& path, uint64_t max, HexText hex) {
    uint64_t number = 0;
    if (value.is_number_unsigned()) {
        number = value.get<uint64_t>();
    } else if (value.is_string() && hex == HexText::Allowed) {
        return ParseHexText(value.get_ref<const std::string&>(), path, max);
    } else {
        Reject(path, std::string("expected a whole number (0 or more)") +
                         (hex == HexText::Allowed ? " or hexadecimal text" : "") + ", got " +
                         Shown(value));
    }
    if (number > max) {
        Reject(path, Shown(value) + " is larger than " + Hex(max));
    }
    return number;
}

uint32_t ReadBusKind(const Json& value, const std::string& path) {
    const std::string text = ReadText(value, path);
    bool printable = text.size() == 4;
    for (const char c : text) {
        printable = printable && c >= 0x20 && c <= 0x7E;
    }
    if (!printable) {
        Reject(path, "expected four printable ASCII characters, got " + Shown(value));
    }
    return VyrexFourCC(text[0], text[1], text[2], text[3]);
}

// "192.168.0.1": the first number is the most significant byte.
uint32_t ReadDottedAddress(const Json& value, const std::string& path) {
    const std::string text = ReadText(value, path);
    const auto refuse = [&] {
        Reject(path, "expected a dotted address like \"192.168.0.1\", got " + Shown(value));
    };
    uint32_t address = 0;
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.') {
                refuse();
            }
            ++at;
        }
        uint32_t byte = 0;
        size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            byte = byte * 10 + uint32_t(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || byte > 255) {
            refuse();
        }
        address = (address << 8) | byte;
    }
    if (at != text.size()) {
        refuse();
    }
    return address;
}

std::array<uint32_t, 3> ReadWords(const Json& value, const std::string& path) {
    if (!value.is_array() || value.size() != 3) {
        Reject(path, "expected an array of three numbers, got " + Shown(value));
    }
    std::array<uint32_t, 3> words{};
    for (size_t i = 0; i < 3; ++i) {
        const std::string where = path + "[" + std::to_string(i) + "]";
        words[i] = uint32_t(ReadUnsigned(value[i], where, kMax32, HexText::Allowed));
    }
    return words;
}

// A speed code, or the text the expert shows for it.
uint32_t ReadLinkSpeed(const Json& value, const std::string& path) {
    if (!value.is_string()) {
        return uint32_t(ReadUnsigned(value, path, kMax32, HexText::Refused));
    }
    const std::string& text = value.get_ref<const std::string&>();
    const char* const speeds[] = {"2.5 GT/s", "5.0 GT/s", "8.0 GT/s"};
    for (uint32_t code = 0; code < 3; ++code) {
        if (text == speeds[code]) {
            return code;
        }
    }
    Reject(path, "expected a speed code or \"2.5 GT/s\", \"5.0 GT/s\", \"8.0 GT/s\", got " +
                     Shown(value));
}

void ReadCamera(const Json& object, const std::string& path, Scenario& scenario) {
    CheckKeys(object, path,
              {"bus", "interface", "vendor", "model", "serial", "ipAddress", "subnetMask",
               "usbVendorId", "usbProductId", "firewireId", "entryWords", "driver", "spareText0",
               "spareText1"});
    const auto at = [&](const char* key) { return path + "." + key; };
    Camera camera;
    camera.busType = ReadBusKind(Need(object, path, "bus"), at("bus"));
    camera.interfaceName = ReadText(Need(object, path, "interface"), at("interface"));
    const auto text = [&](const char* key, std::string& field) {
        if (const Json* value = Find(object, key)) {
            field = ReadText(*value, at(key));
        }
    };
    text("vendor", camera.vendorName);
    text("model", camera.modelName);
    text("spareText0", camera.spareText0);
    text("spareText1", camera.spareText1);
    if (const Json* value = Find(object, "serial")) {
        camera.serialNumber = ReadUnsigned(*value, at("serial"), kMax64, HexText::Allowed);
    }
    if (const Json* value = Find(object, "entryWords")) {
        camera.entryWords = ReadWords(*value, at("entryWords"));
    }

    if (Find(object, "usbVendorId") != nullptr && Find(object, "firewireId") != nullptr) {
        Reject(path, "usbVendorId and firewireId are both property 3: give one of them");
    }
    const auto property = [&](const char* key, uint32_t number, bool dotted) {
        if (const Json* value = Find(object, key)) {
            scenario.properties[{camera.interfaceName, number}] =
                dotted ? ReadDottedAddress(*value, at(key))
                       : uint32_t(ReadUnsigned(*value, at(key), kMax32, HexText::Allowed));
        }
    };
    property("ipAddress", kVyrexCameraAddress1, true);
    property("subnetMask", kVyrexCameraAddress2, true);
    property("usbVendorId", kVyrexCameraIdentifier1, false);
    property("firewireId", kVyrexCameraIdentifier1, false);
    property("usbProductId", kVyrexCameraIdentifier2, false);
    if (const Json* value = Find(object, "driver")) {
        scenario.driverNames[camera.serialNumber] = ReadText(*value, at("driver"));
    }
    scenario.cameras.push_back(camera);
}

void ReadFrameGrabber(const Json& object, const std::string& path, Scenario& scenario) {
    CheckKeys(object, path,
              {"name", "model", "serial", "bus", "hardwareWords", "identifierA", "identifierB",
               "linkWidthA", "linkWidthB", "linkSpeedA", "linkSpeedB"});
    const auto at = [&](const char* key) { return path + "." + key; };
    FrameGrabber grabber;
    grabber.name = ReadText(Need(object, path, "name"), at("name"));
    if (const Json* value = Find(object, "model")) {
        grabber.modelName = ReadText(*value, at("model"));
    }
    if (const Json* value = Find(object, "serial")) {
        grabber.serialNumber = ReadUnsigned(*value, at("serial"), kMax64, HexText::Allowed);
    }
    if (const Json* value = Find(object, "bus")) {
        grabber.busType = ReadBusKind(*value, at("bus"));
    }
    if (const Json* value = Find(object, "hardwareWords")) {
        grabber.hardwareWords = ReadWords(*value, at("hardwareWords"));
    }
    const auto identifier = [&](const char* key, uint16_t& field) {
        if (const Json* value = Find(object, key)) {
            field = uint16_t(ReadUnsigned(*value, at(key), kMax16, HexText::Allowed));
        }
    };
    identifier("identifierA", grabber.identifierA);
    identifier("identifierB", grabber.identifierB);
    const auto width = [&](const char* key, uint32_t& field) {
        if (const Json* value = Find(object, key)) {
            field = uint32_t(ReadUnsigned(*value, at(key), kMax32, HexText::Refused));
        }
    };
    width("linkWidthA", grabber.linkWidthA);
    width("linkWidthB", grabber.linkWidthB);
    const auto speed = [&](const char* key, uint32_t& field) {
        if (const Json* value = Find(object, key)) {
            field = ReadLinkSpeed(*value, at(key));
        }
    };
    speed("linkSpeedA", grabber.linkSpeedA);
    speed("linkSpeedB", grabber.linkSpeedB);
    scenario.frameGrabbers.push_back(grabber);
}

void ReadList(const Json& top, const char* key, Scenario& scenario,
              void (*readOne)(const Json&, const std::string&, Scenario&)) {
    const Json* list = Find(top, key);
    if (list == nullptr) {
        return;
    }
    if (!list->is_array()) {
        Reject(key, "expected an array, got " + Shown(*list));
    }
    for (size_t i = 0; i < list->size(); ++i) {
        readOne((*list)[i], std::string(key) + "[" + std::to_string(i) + "]", scenario);
    }
}

void ReadScenario(const Json& top, Scenario& scenario) {
    CheckKeys(top, "top level", {"driverVersion", "cameras", "frameGrabbers"});
    if (const Json* value = Find(top, "driverVersion")) {
        scenario.driverVersion =
            uint32_t(ReadUnsigned(*value, "driverVersion", kMax32, HexText::Allowed));
    }
    ReadList(top, "cameras", scenario, ReadCamera);
    ReadList(top, "frameGrabbers", scenario, ReadFrameGrabber);
}

// nlohmann's message without its exception-id prefix: "line 3, column 7: ...".
std::string SyntaxProblem(const Json::parse_error& error) {
    const std::string message = error.what();
    const std::string marker = "parse error at ";
    const size_t at = message.find(marker);
    if (at != std::string::npos) {
        return message.substr(at + marker.size());
    }
    return "byte " + std::to_string(error.byte) + ": " + message;
}

} // namespace

bool ParseScenario(const std::string& text, Scenario& scenario, std::string& problem) {
    Json top;
    try {
        top = Json::parse(text, nullptr, true, true);
    } catch (const Json::parse_error& error) {
        problem = SyntaxProblem(error);
        return false;
    }
    Scenario parsed;
    try {
        ReadScenario(top, parsed);
    } catch (const FieldError& error) {
        problem = error.path + ": " + error.reason;
        return false;
    }
    scenario = std::move(parsed);
    return true;
}

} // namespace vyrexsim
