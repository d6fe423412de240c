// Readable names for the status codes the expert returns.
#pragma once

#include <cstdint>
#include <string>

// "0x80004003 (E_POINTER: a required pointer is null)", or the hex alone.
std::string describeStatus(int32_t status);
