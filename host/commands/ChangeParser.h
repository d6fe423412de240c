// The TAG=VALUE arguments of camexpert validate.
//
// TAG is a property tag in hexadecimal (0x01004000). VALUE is read as the
// type the item's property with that tag has; a prefix names the type
// instead, and is needed for a tag the item does not have:
//   string:TEXT  signed:N (int:N)  unsigned:N (uint:N)  boolean:B (bool:B)
//   double:X  guid:{...}
// Numbers are decimal or hexadecimal with 0x; a signed number may also be
// given as a 32-bit hexadecimal pattern. Booleans are true/false, yes/no,
// on/off or 1/0.
#pragma once

#include "hostkit/Property.h"

#include <optional>
#include <string>
#include <vector>

struct RequestedChange {
    std::string argument; // as given, for messages
    uint32_t tag = 0;
    std::optional<oxSysAttributeType> type; // named by a prefix
    std::string valueText;
};

// "string:, signed: (int:), unsigned: (uint:), ...": every prefix that names
// a type, the short forms in brackets.
std::string typePrefixes();

// Reads one argument; throws UsageError with a sentence for a malformed one.
RequestedChange parseRequestedChange(const std::string& argument);

// Reads every argument; a tag given twice is a UsageError too.
std::vector<RequestedChange> parseRequestedChanges(const std::vector<std::string>& arguments);

// The new value as a property of the type the prefix names, or else of the
// type of the item's property with that tag. Throws UsageError when the type
// is unknown (a value like "float:5" for a tag the item lacks is taken for an
// unknown prefix) or the value does not fit it.
Property typedChange(const RequestedChange& change, const PropertyList& item,
                     const std::string& itemName);

// Readers of single values; false when the text is not such a value.
bool parseBoolean(const std::string& text, bool* value);
bool parseSigned(const std::string& text, int32_t* value);
bool parseUnsigned(const std::string& text, uint32_t* value);
bool parseDouble(const std::string& text, double* value);
