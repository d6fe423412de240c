#include "commands/ChangeParser.h"

#include "cli/HostError.h"
#include "cli/WholeNumber.h"
#include "present/HostStrings.h"
#include "present/PropertyFormat.h"

#include <utf8.h>

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace {

struct TypePrefix {
    const char* prefix;
    oxSysAttributeType type;
};

constexpr TypePrefix kPrefixes[] = {
    {"string:", oxSysAttributeType_String},
    {"signed:", oxSysAttributeType_Integer},
    {"int:", oxSysAttributeType_Integer},
    {"unsigned:", oxSysAttributeType_UnsignedInteger},
    {"uint:", oxSysAttributeType_UnsignedInteger},
    {"boolean:", oxSysAttributeType_Boolean},
    {"bool:", oxSysAttributeType_Boolean},
    {"double:", oxSysAttributeType_Double},
    {"guid:", oxSysAttributeType_Guid},
};

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The letters before a colon that begin the value ("float" of "float:5"), or
// "" when it begins otherwise.
std::string prefixWord(const std::string& value) {
    const size_t colon = value.find(':');
    if (colon == 0 || colon == std::string::npos) {
        return "";
    }
    const std::string word = value.substr(0, colon);
    const bool letters = std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalpha(static_cast<unsigned char>(c)) != 0;
    });
    return letters ? word : "";
}

// A number of at most 32 bits: decimal, or hexadecimal after 0x.
bool parseMagnitude(const std::string& text, uint64_t limit, uint64_t* value) {
    const bool hex = startsWith(text, "0x") || startsWith(text, "0X");
    uint64_t parsed = 0;
    if (!parseWhole(std::string_view(text).substr(hex ? 2 : 0), hex ? 16 : 10, &parsed) ||
        parsed > limit) {
        return false;
    }
    *value = parsed;
    return true;
}

const char* typeDescription(oxSysAttributeType type) {
    switch (type) {
    case oxSysAttributeType_Boolean:
        return "a boolean (true or false)";
    case oxSysAttributeType_Integer:
        return "a signed 32-bit number";
    case oxSysAttributeType_UnsignedInteger:
        return "an unsigned 32-bit number";
    case oxSysAttributeType_Double:
        return "a floating-point number";
    case oxSysAttributeType_Guid:
        return "a GUID like {4FA27960-F165-4292-A03E-6D88D34563C9}";
    case oxSysAttributeType_String:
        return "a UTF-8 text";
    case oxSysAttributeType_TimestampUTC:
        return "a timestamp";
    }
    return "a value of an unknown type";
}

std::string propertyName(uint32_t tag) {
    const std::string label = propertyLabel(tag, 0);
    return tagText(tag) + (label.empty() ? "" : " (" + label + ")");
}

} // namespace

std::string typePrefixes() {
    std::string text;
    for (size_t i = 0; i < std::size(kPrefixes); ++i) {
        const bool shortForm = i > 0 && kPrefixes[i - 1].type == kPrefixes[i].type;
        if (shortForm) {
            text += std::string(" (") + kPrefixes[i].prefix + ")";
        } else {
            text += std::string(i == 0 ? "" : ", ") + kPrefixes[i].prefix;
        }
    }
    return text;
}

bool parseBoolean(const std::string& text, bool* value) {
    for (const char* yes : {"true", "yes", "on", "1"}) {
        if (strcasecmp(text.c_str(), yes) == 0) {
            *value = true;
            return true;
        }
    }
    for (const char* no : {"false", "no", "off", "0"}) {
        if (strcasecmp(text.c_str(), no) == 0) {
            *value = false;
            return true;
        }
    }
    return false;
}

bool parseUnsigned(const std::string& text, uint32_t* value) {
    uint64_t magnitude = 0;
    if (!parseMagnitude(text, UINT32_MAX, &magnitude)) {
        return false;
    }
    *value = uint32_t(magnitude);
    return true;
}

bool parseSigned(const std::string& text, int32_t* value) {
    const bool negative = startsWith(text, "-");
    const std::string magnitudeText = negative ? text.substr(1) : text;
    const bool hex = startsWith(magnitudeText, "0x") || startsWith(magnitudeText, "0X");
    uint64_t magnitude = 0;
    // A hexadecimal number is a 32-bit pattern (0xFFFFFFFF is -1); a decimal one a value.
    const uint64_t limit = hex && !negative ? UINT32_MAX : negative ? 0x80000000u : INT32_MAX;
    if (!parseMagnitude(magnitudeText, limit, &magnitude)) {
        return false;
    }
    *value = negative ? int32_t(-int64_t(magnitude)) : int32_t(uint32_t(magnitude));
    return true;
}

bool parseDouble(const std::string& text, double* value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != 0 || errno != 0 || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

RequestedChange parseRequestedChange(const std::string& argument) {
    const size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        throw UsageError("'" + argument +
                         "' is not a change: write TAG=VALUE, for example 0x01004000=Acme.");
    }
    RequestedChange change;
    change.argument = argument;
    const std::string tagPart = argument.substr(0, equals);
    const std::string digits =
        startsWith(tagPart, "0x") || startsWith(tagPart, "0X") ? tagPart.substr(2) : tagPart;
    if (digits.size() > 8 || !parseWhole(digits, 16, &change.tag)) {
        throw UsageError("'" + tagPart + "' in '" + argument +
                         "' is not a property tag: tags are hexadecimal numbers of up to 8 "
                         "digits, for example 0x01004000.");
    }
    change.valueText = argument.substr(equals + 1);
    for (const TypePrefix& prefix : kPrefixes) {
        if (startsWith(change.valueText, prefix.prefix)) {
            change.type = prefix.type;
            change.valueText =
                change.valueText.substr(std::char_traits<char>::length(prefix.prefix));
            return change;
        }
    }
    return change;
}

std::vector<RequestedChange> parseRequestedChanges(const std::vector<std::string>& arguments) {
    std::vector<RequestedChange> changes;
    for (const std::string& argument : arguments) {
        RequestedChange change = parseRequestedChange(argument);
        for (const RequestedChange& earlier : changes) {
            if (earlier.tag == change.tag) {
                throw UsageError("Property " + tagText(change.tag) + " is given twice ('" +
                                 earlier.argument + "' and '" + argument +
                                 "'): give each tag once.");
            }
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

namespace {

// The property of tag with the value parse reads from text; whether it could.
template <class Value>
bool parseInto(const std::string& text, uint32_t tag, bool (*parse)(const std::string&, Value*),
               Property& property) {
    Value value{};
    const bool parsed = parse(text, &value);
    property = makeProperty(tag, value);
    return parsed;
}

} // namespace

Property typedChange(const RequestedChange& change, const PropertyList& item,
                     const std::string& itemName) {
    oxSysAttributeType type = oxSysAttributeType_String;
    if (change.type) {
        type = *change.type;
    } else if (const Property* current = findProperty(item, change.tag)) {
        type = current->type;
    } else if (const std::string word = prefixWord(change.valueText); !word.empty()) {
        throw UsageError("unknown prefix '" + word + ":' in '" + change.argument +
                         "'; prefixes are " + typePrefixes());
    } else {
        throw UsageError(itemName + " has no property " + tagText(change.tag) +
                         ", so the type of its value is unknown: name it, for example " +
                         tagText(change.tag) + "=string:" + change.valueText + ".");
    }
    const std::string& text = change.valueText;
    bool parsed = false;
    Property property;
    switch (type) {
    case oxSysAttributeType_Boolean:
        parsed = parseInto(text, change.tag, parseBoolean, property);
        break;
    case oxSysAttributeType_Integer:
        parsed = parseInto(text, change.tag, parseSigned, property);
        break;
    case oxSysAttributeType_UnsignedInteger:
        parsed = parseInto(text, change.tag, parseUnsigned, property);
        break;
    case oxSysAttributeType_Double:
        parsed = parseInto(text, change.tag, parseDouble, property);
        break;
    case oxSysAttributeType_Guid:
        parsed = parseInto(text, change.tag, parseGuid, property);
        break;
    case oxSysAttributeType_String:
        parsed = utf8::is_valid(text);
        property = makeProperty(change.tag, text);
        break;
    case oxSysAttributeType_TimestampUTC:
        throw UsageError("Property " + propertyName(change.tag) +
                         " holds a timestamp, which a host bag cannot be given.");
    }
    if (!parsed) {
        throw UsageError("'" + text + "' in '" + change.argument + "' is not " +
                         typeDescription(type) + ", as property " + propertyName(change.tag) +
                         " needs.");
    }
    return property;
}
