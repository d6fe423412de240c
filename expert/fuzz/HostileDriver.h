// The camera driver as the fuzz input plays it. The five driver functions
// (HostileDriver.cpp) answer from this state, which the input's commands
// edit between refresh passes. The driver may report counts that disagree
// with what it fills, fail calls, hand out texts without terminators and
// answer differently on every call; it never writes beyond the buffer sizes
// the expert gives it.
#pragma once

#include "driver/VyrexDriver.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace expertfuzz {

// The most entries the driver ever says it has, whatever it holds: a few
// times what the input can make it hold, and small enough that every
// allocation the expert makes for them stays small.
constexpr uint32_t kMostReportedEntries = 64;

// The expert names an entry that the driver reported but left zero-filled
// with the empty name. Only one of the two lists may do that in one input,
// so that a camera and a frame grabber never share the empty name (see
// NameRules.h).
enum class EmptyNameOwner { Cameras, FrameGrabbers };

// How a list answers the two-call pattern: a status for each call, and what
// each call adds to the true count (the held entries for the counting call,
// the entries written for the filling call).
struct ListAnswers {
    int32_t countingStatus = 0;
    int32_t fillingStatus = 0;
    int32_t countingSkew = 0;
    int32_t fillingSkew = 0;
};

// What the expert was handed by a list's last two calls.
template <class Record>
struct ListHanding {
    int32_t countingStatus = 0;
    uint32_t counted = 0; // the counting call's count
    bool fillingCalled = false;
    int32_t fillingStatus = 0;
    uint32_t reported = 0;      // the filling call's count
    std::vector<Record> handed; // the array's entries below both its size and `reported`
};

struct PropertyAnswer {
    int32_t status = 0;
    uint32_t value = 0;
    bool writesValue = false;
};

enum class NameForm {
    Nothing,      // writes nothing
    Terminated,   // the text, cut to leave room for its terminator
    Unterminated, // the text without terminator, cut at the buffer's end
    FillsBuffer,  // the text repeated to the buffer's last byte, no terminator
};

struct DriverNameAnswer {
    NameForm form = NameForm::Nothing;
    int32_t status = 0;
    std::string text;
};

struct HostileDriver {
    std::vector<CameraEntry> cameras;
    std::vector<FrameGrabberRecord> frameGrabbers;
    ListAnswers cameraAnswers;
    ListAnswers frameGrabberAnswers;
    EmptyNameOwner emptyNameOwner = EmptyNameOwner::Cameras;

    // Answered in turn, one per call; no answer at all fails every call.
    std::vector<PropertyAnswer> propertyAnswers;
    std::vector<DriverNameAnswer> driverNameAnswers;
    size_t propertyCalls = 0;
    size_t driverNameCalls = 0;

    uint32_t driverVersion = 0;
    int32_t driverVersionStatus = 0;

    ListHanding<CameraEntry> cameraHanding;
    ListHanding<FrameGrabberRecord> frameGrabberHanding;
};

// The one driver the five functions answer from; each input starts it anew.
HostileDriver& hostileDriver();

} // namespace expertfuzz
