// What the tags of cameras and frame grabbers mean, for readable output.
// Only tags whose meaning the system's own use makes plain have a label; the
// tags themselves are the contract's (contract/PropertyTags.h).
#pragma once

#include <cstdint>
#include <string>

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
