// A property as people and programs read it: what its tag means (a label,
// where the system's own use makes it plain; the tags themselves are the
// contract's, contract/PropertyTags.h), its value as text and as JSON.
#pragma once

#include "hostkit/Property.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

// "boolean", "signed", "unsigned", "double", "guid", "string", "timestamp",
// or "type N" for a type this host does not know.
std::string typeName(oxSysAttributeType type);

// The value alone: true/false, decimal numbers, the GUID's text form, the
// string as it is, a timestamp in ISO 8601 (UTC). An unreadable value gives
// "(unreadable: <status>)".
std::string valueText(const Property& property);

// As valueText, but a string in double quotes and safe for a terminal
// (quotedText), for lists of changes.
std::string quotedValueText(const Property& property);

// The value as it reads best: valueText with what the tag's presentation
// adds ("0x2C7A", "0x69707634 "ipv4" (network)", "0x00030201 (3.2.1)",
// "1 (5.0 GT/s)").
std::string displayText(const Property& property);

// The value as JSON: booleans, numbers and strings as such, a GUID or a
// timestamp as its text, null when unreadable.
nlohmann::ordered_json valueJson(const Property& property);

// The text, or null for an empty text.
nlohmann::ordered_json textOrNull(const std::string& text);

// "0x0102C000"
std::string tagText(uint32_t tag);

// The UTC time of a timestamp, "2024-03-10T12:00:00.250Z"; "" for no time.
std::string timestampText(const oxSysAttrTimestampUTC& timestamp);

// How a value is best shown beside its plain form.
enum class Presentation {
    Plain,
    Hex,       // an identifier: 0x2C7A
    Word,      // a 32-bit word: 0x00010003
    FourCC,    // a bus kind: 0x69707634 "ipv4" (network)
    Version,   // major << 16 | minor << 8 | patch: 3.2.1
    LinkSpeed, // a speed code: 1 is 5.0 GT/s
};

// The label of a tag on an item of that bus kind ("" when the tag has none).
// Only the identifier under oxSysTags::kIdentifierA reads differently by bus kind.
std::string propertyLabel(uint32_t tag, uint32_t busKind);

Presentation propertyPresentation(uint32_t tag);

// The four characters of a bus kind, first character from the most
// significant byte; a byte that is not printable ASCII shows as \xNN.
std::string fourCCText(uint32_t busKind);

// "0x69707634 "ipv4" (network)": the code, its characters and its class.
std::string busKindText(uint32_t busKind);

// "3.2.1" for 0x00030201.
std::string versionText(uint32_t version);
