// tTrace: the module's trace service, one instance that owns a pointer to
// its current output destination (the console after construction). Nothing
// in the system writes through it yet; its options, level and lock keep
// their initial values.
#pragma once

#include "protons/trace/iTraceDestination.h"

#include "kernel/sem.h"

#include <cstddef>
#include <cstdint>

namespace nKRZEPH000 {

class tTrace {
public:
    static tTrace singleton;

    explicit tTrace(iTraceDestination& initialDestination);
    // Clears the first option and deletes the trace lock if it was created.
    virtual ~tTrace();

    tTrace(const tTrace&) = delete;
    tTrace& operator=(const tTrace&) = delete;

    iTraceDestination* getDestination() const { return destination; }
    int32_t getLevel() const { return level; }
    int32_t getWord() const { return reserved; }
    // Options 0 to 7, then 8 and 9 for the two further ones.
    bool getOption(unsigned index) const;
    // Characters collected in the line buffer and not yet written.
    size_t getPendingLength() const { return size_t(linePosition - line); }

private:
    static constexpr unsigned kOptionCount = 8;
    static constexpr unsigned kLineLength = 253;

    iTraceDestination* destination;
    uint8_t options[kOptionCount];
    bool lockCreated;
    uint8_t moreOptions[2];
    int32_t level;
    int32_t reserved;
    SEM_ID lock; // valid only while lockCreated
    char line[kLineLength + 1];
    char* linePosition; // next free character of `line`
};

} // namespace nKRZEPH000
