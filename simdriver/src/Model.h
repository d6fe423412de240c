// The one simulated driver of the process: its devices, where they come
// from and its faults, all behind one mutex. The driver functions and the
// control API are thin layers over it.
#pragma once

#include "driver/kit/DriverBackend.h"
#include "simdriver/src/Faults.h"
#include "simdriver/src/Scenario.h"
#include "simdriver/src/ScenarioSource.h"

#include <mutex>
#include <string>

namespace vyrexsim {

class Model final : public VyrexDriverBackend {
public:
    // Never destroyed, so that a caller still running at exit finds it intact.
    static Model& Instance();

    // The driver functions; they may throw std::bad_alloc.
    int32_t EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) override;
    int32_t EnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) override;
    int32_t GetCameraProperty(const char* interfaceName, uint32_t property,
                              uint32_t* value) override;
    int32_t GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) override;
    int32_t GetDriverVersion(uint32_t* version) override;

    // Runs edit(Scenario&) with the model locked, on top of the devices
    // loaded so far, and detaches the model from its scenario.
    template <typename Edit>
    auto Change(Edit edit) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Refresh(false, nullptr);
        m_source.Detach();
        m_problem.clear();
        return edit(m_world);
    }

    // Runs read(const Scenario&) with the model locked.
    template <typename Read>
    auto Inspect(Read read) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Refresh(false, nullptr);
        return read(static_cast<const Scenario&>(m_world));
    }

    // Runs use(Faults&) with the model locked.
    template <typename Use>
    auto WithFaults(Use use) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return use(m_faults);
    }

    void Reset();
    bool Load(const std::string& json, std::string* problem);
    bool Watch(const std::string& path, std::string* problem);
    void FollowEnvironment();

    // Reads the scenario when it is new or changed, without printing what is
    // wrong with it, and returns the problem of the last reading ("path:
    // reason"), or "" when it was read without one or none is followed.
    std::string ScenarioProblem();

private:
    // Whether a scenario that cannot be used is told on stderr.
    enum class Report { OnStderr, ToCaller };

    Model();

    // Takes over what the scenario source has new; false when it failed.
    // The problem goes to *problem (when not null) as the line that stderr
    // gets, "simdriver: path: reason".
    bool Refresh(bool checkForChange, std::string* problem, Report report = Report::OnStderr);
    const Camera* FindCamera(const std::string& interfaceName) const;
    const Camera* FindCamera(uint64_t serialNumber) const;

    std::mutex m_mutex;
    Scenario m_world;
    ScenarioSource m_source;
    std::string m_problem; // of the last reading of the scenario, "" when none
    Faults m_faults;
};

} // namespace vyrexsim
