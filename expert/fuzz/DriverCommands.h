// The fuzz input as a script for the hostile driver.
//
// Header: one byte of settings (bit 0: the text converter refuses a byte,
// given by the next byte; bit 1: the frame grabbers, not the cameras, own
// the empty name). Then commands, each an opcode byte (taken modulo the
// number of commands) and its operands: they add, remove, edit and reorder
// the driver's cameras and frame grabbers, and set how it answers its calls;
// the Pass command asks for a refresh pass. make-seeds.py writes seeds in
// this form and lists every command's operands.
#pragma once

#include "expert/fuzz/FuzzInput.h"
#include "expert/fuzz/HostileDriver.h"

#include <cstdint>
#include <optional>

namespace expertfuzz {

struct InputSettings {
    std::optional<uint8_t> refusedByte;
    EmptyNameOwner emptyNameOwner = EmptyNameOwner::Cameras;
};

InputSettings readSettings(FuzzInput& input);

// Applies commands to driver until one asks for a pass (true) or the input
// ends (false).
bool applyCommandsUntilPass(FuzzInput& input, HostileDriver& driver);

} // namespace expertfuzz
