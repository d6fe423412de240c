// Replays every file of a fuzz target's corpus through its entry point, so
// that the builds without libFuzzer (every sanitizer, the big-endian cross
// build) check the inputs too, and an input that once found a fault keeps
// being checked. Each input is a failure of its own, named by its path.
#pragma once

#include <cstddef>
#include <cstdint>

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

// How many inputs were replayed; fails the test when the folder has fewer
// than five.
size_t replayCorpus(const char* directory, FuzzEntry entry);
