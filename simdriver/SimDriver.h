// Control of the simulated camera driver (libvyrexsim.so), for tests and
// tools that need cameras and frame grabbers to come and go on demand.
//
// The library exports the five driver functions of driver/VyrexDriver.h and,
// beside them, this control API. Both work on one in-memory model guarded by
// one mutex, so any thread may change the model while another thread calls the
// driver functions.
//
// Where the model comes from:
// - At start, and after FollowEnvironment(), from the scenario file named by
//   VYREX_SIM_SCENARIO (re-read whenever the file changes, checked on every
//   enumeration call), or from the built-in default scenario when the variable
//   is unset or empty.
// - The first call that changes devices or values (Plug..., Unplug...,
//   Change..., Set...) detaches the model from its scenario: the devices loaded
//   so far stay, and the file is no longer watched. Reset() empties the model
//   and detaches it too.
// - Failure injection, hostile records and call counts are independent of the
//   scenario: setting them detaches nothing, and loading a scenario keeps them.
//
// The driver functions never throw; the control functions may throw
// std::bad_alloc.
#pragma once

#include "driver/kit/DriverRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#define VYREXSIM_API __attribute__((visibility("default")))

namespace vyrexsim {

// The driver version reported until SetDriverVersion or a scenario sets
// another: major << 16 | minor << 8 | patch, here 3.2.1.
constexpr uint32_t kDefaultDriverVersion = 0x00030201;

// A connected camera as the enumeration reports it; a simulated camera
// unless told otherwise.
struct Camera : VyrexCamera {
    Camera() { busType = kVyrexBusSimulated; }
};

// A connected frame grabber as the enumeration reports it.
using FrameGrabber = VyrexFrameGrabber;

// The five driver functions, for failure injection and call counts.
enum class Function {
    EnumerateCameras,
    EnumerateFrameGrabbers,
    GetCameraProperty,
    GetDriverName2,
    GetDriverVersion,
};

// Which calls of an enumeration function an injected failure hits: the
// counting call has a null array, the filling call an array. The other
// functions treat every filter as Every.
enum class Calls { Every, Counting, Filling };

enum class List { Cameras, FrameGrabbers };

// Empties the model: no devices, no property values, no driver names, the
// default driver version, no injected failure, no hostile record, call counts
// 0. The model is detached from any scenario.
VYREXSIM_API void Reset();

// Connects a camera after the ones already connected. Several cameras may
// share an interface name; the driver then reports each of them.
VYREXSIM_API void PlugCamera(const Camera& camera);

// Disconnects every camera with that interface name (compared exactly);
// returns how many were disconnected. Property values stay with the name.
VYREXSIM_API size_t UnplugCamera(const std::string& interfaceName);

// Replaces the first camera with that interface name, keeping its place in the
// enumeration; false when there is none.
VYREXSIM_API bool ChangeCamera(const std::string& interfaceName, const Camera& camera);

// The connected cameras, in enumeration order.
VYREXSIM_API std::vector<Camera> Cameras();

VYREXSIM_API void PlugFrameGrabber(const FrameGrabber& frameGrabber);
VYREXSIM_API size_t UnplugFrameGrabber(const std::string& name);
VYREXSIM_API bool ChangeFrameGrabber(const std::string& name, const FrameGrabber& frameGrabber);
VYREXSIM_API std::vector<FrameGrabber> FrameGrabbers();

// Sets the value that VyrexGetCameraProperty reports for the camera with that
// interface name (connected now or later); a property never set reads 0.
// False when property is not 1 to 4.
VYREXSIM_API bool SetCameraProperty(const std::string& interfaceName, uint32_t property,
                                    uint32_t value);

// Sets the driver name that VyrexGetDriverName2 reports for a connected
// camera with that serial number, instead of DefaultDriverName of its bus.
VYREXSIM_API void SetDriverName(uint64_t serialNumber, const std::string& name);

// The name reported for a camera whose serial number has no name of its own.
VYREXSIM_API std::string DefaultDriverName(uint32_t busType);

VYREXSIM_API void SetDriverVersion(uint32_t version);

// Makes calls of a driver function fail with status (status 0 is refused:
// false). A failing call writes nothing. times 0: until ClearFailures; n: the
// next n matching calls. One failure per function; a new one replaces it.
VYREXSIM_API bool FailFunction(Function function, int32_t status, Calls calls = Calls::Every,
                               uint32_t times = 0);
VYREXSIM_API void ClearFailures();

// How many times a driver function was called since the last Reset, failed
// calls included.
VYREXSIM_API uint32_t CallCount(Function function);

// Hostile texts: every text written (the five CameraEntry texts, both
// FrameGrabberRecord texts, the driver name) fills its whole field with the
// text followed by '#', with no terminator.
VYREXSIM_API void SetUnterminatedTexts(bool on);

// Hostile counts: a filling enumeration call behaves as if delta devices had
// been connected (delta > 0) or disconnected (delta < 0) since the counting
// call. It reports the changed number, never less than 0, and fills at most
// the caller's capacity: with delta > 0 the reported count exceeds what was
// filled, with delta < 0 fewer entries are filled. 0 ends it.
VYREXSIM_API void SetCountChange(List list, int32_t delta);

// Replaces devices, property values, driver names and driver version with those
// of a scenario in JSON (format in simdriver/README.md) and detaches the model
// from any file. On a malformed scenario the model is unchanged, false is
// returned and *problem (when not null) describes it.
VYREXSIM_API bool LoadScenario(const std::string& json, std::string* problem);

// Loads the scenario file now and from then on re-reads it whenever it changes.
// A malformed or unreadable file keeps the previous devices, prints one line on
// stderr, returns false and sets *problem (when not null).
VYREXSIM_API bool WatchScenarioFile(const std::string& path, std::string* problem);

// Returns to the start-up behaviour: the file named by VYREX_SIM_SCENARIO, or
// the built-in default scenario, loaded at the next driver call.
VYREXSIM_API void FollowEnvironment();

// The JSON text of the built-in default scenario.
VYREXSIM_API std::string DefaultScenarioText();

} // namespace vyrexsim

// For a host that loads this library by path and looks the name up with
// dlsym: reads the scenario now when it is new or changed, writes what is
// wrong with it ("path: reason", as the stderr line has it after
// "simdriver: ") into text, cut to size bytes and terminated, and returns
// the problem's whole length; 0 and "" when the scenario was read without a
// problem or none is followed. A problem this call reads is left to the
// caller to tell: it is not printed on stderr. Never throws.
extern "C" VYREXSIM_API uint32_t VyrexSimScenarioProblem(char* text, uint32_t size);
