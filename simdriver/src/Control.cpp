// The control API of SimDriver.h over the model.
#include "simdriver/SimDriver.h"

#include "driver/kit/DriverRecords.h"
#include "simdriver/src/DefaultScenario.h"
#include "simdriver/src/Model.h"

#include <algorithm>
#include <string_view>

namespace vyrexsim {
namespace {

Model& TheModel() {
    return Model::Instance();
}

template <typename Device, typename Name>
size_t RemoveNamed(std::vector<Device>& devices, const std::string& name, Name nameOf) {
    const size_t before = devices.size();
    devices.erase(std::remove_if(devices.begin(), devices.end(),
                                 [&](const Device& device) { return nameOf(device) == name; }),
                  devices.end());
    return before - devices.size();
}

template <typename Device, typename Name>
bool ReplaceNamed(std::vector<Device>& devices, const std::string& name, const Device& device,
                  Name nameOf) {
    const auto it = std::find_if(devices.begin(), devices.end(),
                                 [&](const Device& each) { return nameOf(each) == name; });
    if (it == devices.end()) {
        return false;
    }
    *it = device;
    return true;
}

const std::string& InterfaceOf(const Camera& camera) {
    return camera.interfaceName;
}
const std::string& NameOf(const FrameGrabber& grabber) {
    return grabber.name;
}

} // namespace

void Reset() {
    TheModel().Reset();
}

void PlugCamera(const Camera& camera) {
    TheModel().Change([&](Scenario& world) { world.cameras.push_back(camera); });
}

size_t UnplugCamera(const std::string& interfaceName) {
    return TheModel().Change(
        [&](Scenario& world) { return RemoveNamed(world.cameras, interfaceName, InterfaceOf); });
}

bool ChangeCamera(const std::string& interfaceName, const Camera& camera) {
    return TheModel().Change([&](Scenario& world) {
        return ReplaceNamed(world.cameras, interfaceName, camera, InterfaceOf);
    });
}

std::vector<Camera> Cameras() {
    return TheModel().Inspect([](const Scenario& world) { return world.cameras; });
}

void PlugFrameGrabber(const FrameGrabber& frameGrabber) {
    TheModel().Change([&](Scenario& world) { world.frameGrabbers.push_back(frameGrabber); });
}

size_t UnplugFrameGrabber(const std::string& name) {
    return TheModel().Change(
        [&](Scenario& world) { return RemoveNamed(world.frameGrabbers, name, NameOf); });
}

bool ChangeFrameGrabber(const std::string& name, const FrameGrabber& frameGrabber) {
    return TheModel().Change([&](Scenario& world) {
        return ReplaceNamed(world.frameGrabbers, name, frameGrabber, NameOf);
    });
}

std::vector<FrameGrabber> FrameGrabbers() {
    return TheModel().Inspect([](const Scenario& world) { return world.frameGrabbers; });
}

bool SetCameraProperty(const std::string& interfaceName, uint32_t property, uint32_t value) {
    if (property < kVyrexCameraAddress1 || property > kVyrexCameraIdentifier2) {
        return false;
    }
    TheModel().Change([&](Scenario& world) {
        world.properties[{interfaceName, property}] = value;
    });
    return true;
}

void SetDriverName(uint64_t serialNumber, const std::string& name) {
    TheModel().Change([&](Scenario& world) { world.driverNames[serialNumber] = name; });
}

std::string DefaultDriverName(uint32_t busType) {
    switch (busType) {
    case kVyrexBusIPv4:
    case kVyrexBusIPCamera:
        return "VyrexGigE";
    case kVyrexBusUSB3:
        return "VyrexU3V";
    case kVyrexBusUVC:
        return "VyrexUVC";
    case kVyrexBusFireWire:
        return "Vyrex1394";
    case kVyrexBusCameraLink:
        return "VyrexCL";
    case kVyrexBusSimulated:
        return "VyrexSim";
    default:
        return "Vyrex";
    }
}

void SetDriverVersion(uint32_t version) {
    TheModel().Change([&](Scenario& world) { world.driverVersion = version; });
}

bool FailFunction(Function function, int32_t status, Calls calls, uint32_t times) {
    if (status == 0) {
        return false;
    }
    TheModel().WithFaults([&](Faults& faults) { faults.Fail(function, status, calls, times); });
    return true;
}

void ClearFailures() {
    TheModel().WithFaults([](Faults& faults) { faults.ClearFailures(); });
}

uint32_t CallCount(Function function) {
    return TheModel().WithFaults([&](Faults& faults) { return faults.CallCount(function); });
}

void SetUnterminatedTexts(bool on) {
    TheModel().WithFaults([&](Faults& faults) {
        faults.textEnds = on ? VyrexTextEnds::Unterminated : VyrexTextEnds::Terminated;
    });
}

void SetCountChange(List list, int32_t delta) {
    TheModel().WithFaults([&](Faults& faults) {
        (list == List::Cameras ? faults.cameraCountChange : faults.frameGrabberCountChange) = delta;
    });
}

bool LoadScenario(const std::string& json, std::string* problem) {
    return TheModel().Load(json, problem);
}

bool WatchScenarioFile(const std::string& path, std::string* problem) {
    return TheModel().Watch(path, problem);
}

void FollowEnvironment() {
    TheModel().FollowEnvironment();
}

std::string DefaultScenarioText() {
    return BuiltInScenario();
}

} // namespace vyrexsim

uint32_t VyrexSimScenarioProblem(char* text, uint32_t size) {
    static constexpr char kNoMemory[] = "out of memory while reading the scenario";
    std::string problem;
    std::string_view told;
    try {
        problem = vyrexsim::Model::Instance().ScenarioProblem();
        told = problem;
    } catch (...) {
        told = kNoMemory;
    }
    if (text != nullptr && size > 0) {
        VyrexWriteText(text, size, told); // a cut text is fine: the length tells
    }
    return uint32_t(std::min<size_t>(told.size(), UINT32_MAX));
}
