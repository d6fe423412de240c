// The narrow-to-wide text conversion the fuzz target offers the expert (see
// TextConverter.cpp), and the one byte it may be told to refuse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace expertfuzz {

// From now on, refuse every text that holds this byte (none: refuse nothing).
void setRefusedByte(std::optional<uint8_t> byte);

// Whether the converter refuses this text. The empty text never reaches it.
bool refusesText(const std::string& text);

} // namespace expertfuzz
