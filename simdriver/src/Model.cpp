#include "simdriver/src/Model.h"

#include "simdriver/src/ScenarioParser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vyrexsim {
namespace {

uint32_t ClampCount(int64_t count) {
    return uint32_t(std::clamp<int64_t>(count, 0, int64_t(UINT32_MAX)));
}

// The two-call pattern shared by both lists. The counting call (null array)
// reports how many devices there are. The filling call fills at most the
// caller's capacity and reports the number of devices, which may exceed the
// capacity when devices came since; countChange pretends they did.
template <typename Device, typename Record, typename Write>
void Enumerate(const std::vector<Device>& devices, Record* entries, uint32_t& count,
               int32_t countChange, Write write) {
    const int64_t present = int64_t(devices.size());
    if (entries == nullptr) {
        count = ClampCount(present);
        return;
    }
    const uint32_t reported = ClampCount(present + countChange);
    const int64_t filled = std::min({int64_t(count), present, int64_t(reported)});
    for (int64_t i = 0; i < filled; ++i) {
        write(devices[size_t(i)], entries[i]);
    }
    count = reported;
}

} // namespace

Model& Model::Instance() {
    static Model* const model = new Model;
    return *model;
}

Model::Model() {
    m_source.UseEnvironment();
}

int32_t Model::EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh(true, nullptr);
    if (const int32_t status = m_faults.OnCall(Function::EnumerateCameras, entries == nullptr)) {
        return status;
    }
    Enumerate(m_world.cameras, entries, *count, m_faults.cameraCountChange,
              [this](const Camera& camera, CameraEntry& entry) {
                  VyrexWriteCameraEntry(camera, m_faults.textEnds, entry);
              });
    return 0;
}

int32_t Model::EnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh(true, nullptr);
    if (const int32_t status =
            m_faults.OnCall(Function::EnumerateFrameGrabbers, entries == nullptr)) {
        return status;
    }
    Enumerate(m_world.frameGrabbers, entries, *count, m_faults.frameGrabberCountChange,
              [this](const FrameGrabber& grabber, FrameGrabberRecord& record) {
                  VyrexWriteFrameGrabberRecord(grabber, m_faults.textEnds, record);
              });
    return 0;
}

int32_t Model::GetCameraProperty(const char* interfaceName, uint32_t property, uint32_t* value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh(false, nullptr);
    if (const int32_t status = m_faults.OnCall(Function::GetCameraProperty, false)) {
        return status;
    }
    // The name normally comes from a CameraEntry field: never read past it.
    const std::string name(interfaceName, strnlen(interfaceName, kVyrexTextSize));
    if (FindCamera(name) == nullptr) {
        return kVyrexStatusNoSuchCamera;
    }
    const auto it = m_world.properties.find({name, property});
    *value = it == m_world.properties.end() ? 0 : it->second;
    return 0;
}

int32_t Model::GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh(false, nullptr);
    if (const int32_t status = m_faults.OnCall(Function::GetDriverName2, false)) {
        return status;
    }
    const Camera* camera = FindCamera(serialNumber);
    if (camera == nullptr) {
        buffer[0] = '\0';
        return kVyrexStatusNoSuchCamera;
    }
    const auto named = m_world.driverNames.find(serialNumber);
    const std::string name =
        named == m_world.driverNames.end() ? DefaultDriverName(camera->busType) : named->second;
    return VyrexWriteText(buffer, size, name, m_faults.textEnds) ? 0 : kVyrexStatusBufferTooSmall;
}

int32_t Model::GetDriverVersion(uint32_t* version) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh(false, nullptr);
    if (const int32_t status = m_faults.OnCall(Function::GetDriverVersion, false)) {
        return status;
    }
    *version = m_world.driverVersion.value_or(kDefaultDriverVersion);
    return 0;
}

void Model::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_world = Scenario{};
    m_source.Detach();
    m_problem.clear();
    m_faults = Faults{};
}

bool Model::Load(const std::string& json, std::string* problem) {
    Scenario scenario;
    std::string reason;
    if (!ParseScenario(json, scenario, reason)) {
        if (problem != nullptr) {
            *problem = reason;
        }
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_world = std::move(scenario);
    m_source.Detach();
    m_problem.clear();
    return true;
}

bool Model::Watch(const std::string& path, std::string* problem) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_source.UseFile(path);
    return Refresh(false, problem);
}

void Model::FollowEnvironment() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_source.UseEnvironment();
}

std::string Model::ScenarioProblem() {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh(true, nullptr, Report::ToCaller);
    return m_problem;
}

bool Model::Refresh(bool checkForChange, std::string* problem, Report report) {
    Scenario scenario;
    std::string reason;
    switch (m_source.Poll(checkForChange, scenario, reason)) {
    case ScenarioSource::Update::None:
        return true;
    case ScenarioSource::Update::Loaded:
        m_world = std::move(scenario);
        m_problem.clear();
        return true;
    case ScenarioSource::Update::Failed:
        break;
    }
    m_problem = reason;
    const std::string line = "simdriver: " + reason;
    if (report == Report::OnStderr) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (problem != nullptr) {
        *problem = line;
    }
    return false;
}

const Camera* Model::FindCamera(const std::string& interfaceName) const {
    for (const Camera& camera : m_world.cameras) {
        if (camera.interfaceName == interfaceName) {
            return &camera;
        }
    }
    return nullptr;
}

const Camera* Model::FindCamera(uint64_t serialNumber) const {
    for (const Camera& camera : m_world.cameras) {
        if (camera.serialNumber == serialNumber) {
            return &camera;
        }
    }
    return nullptr;
}

} // namespace vyrexsim

VyrexDriverBackend& VyrexTheBackend() {
    return vyrexsim::Model::Instance();
}
