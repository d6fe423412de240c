// What every driver library the tree builds answers alike: the argument rules
// of the five functions, called as the expert calls them, through the names
// the library exports.
#include "Poison.h"

#include "driver/VyrexDriver.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct DriverFunctions {
    decltype(&VyrexEnumerateCameras) enumerateCameras = nullptr;
    decltype(&VyrexEnumerateFrameGrabbers) enumerateFrameGrabbers = nullptr;
    decltype(&VyrexGetCameraProperty) getCameraProperty = nullptr;
    decltype(&VyrexGetDriverName2) getDriverName = nullptr;
    decltype(&VyrexGetDriverVersion) getDriverVersion = nullptr;
};

class DriverConformance : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        m_library = dlopen(GetParam().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_library, nullptr) << dlerror();
        load(functions.enumerateCameras, "VyrexEnumerateCameras");
        load(functions.enumerateFrameGrabbers, "VyrexEnumerateFrameGrabbers");
        load(functions.getCameraProperty, "VyrexGetCameraProperty");
        load(functions.getDriverName, "VyrexGetDriverName2");
        load(functions.getDriverVersion, "VyrexGetDriverVersion");
    }
    void TearDown() override {
        if (m_library != nullptr) {
            dlclose(m_library);
        }
    }

    DriverFunctions functions;

private:
    template <typename Function>
    void load(Function& function, const char* name) {
        function = reinterpret_cast<Function>(dlsym(m_library, name));
        ASSERT_NE(function, nullptr) << "the library does not export " << name;
    }

    void* m_library = nullptr;
};

// Each call breaks one rule; the driver refuses it and writes nothing. None
// reaches a backend's devices (nor, for Aravis, the network).
TEST_P(DriverConformance, RefusesEveryArgumentTheContractRulesOut) {
    uint32_t count = kPoisonWord;
    uint32_t value = kPoisonWord;
    CameraEntry entry{};
    FrameGrabberRecord record{};
    char name[16] = "poison";
    const DriverFunctions& f = functions;
    struct Case {
        const char* call;
        std::function<int32_t()> make;
    };
    const Case cases[] = {
        {"cameras without a count", [&] { return f.enumerateCameras(nullptr, nullptr, 1); }},
        {"cameras with flag 0", [&] { return f.enumerateCameras(nullptr, &count, 0); }},
        {"cameras filling without a count", [&] { return f.enumerateCameras(&entry, nullptr, 1); }},
        {"cameras filling with flag 0", [&] { return f.enumerateCameras(&entry, &count, 0); }},
        {"cameras filling with flag 2", [&] { return f.enumerateCameras(&entry, &count, 2); }},
        {"frame grabbers without a count",
         [&] { return f.enumerateFrameGrabbers(nullptr, nullptr); }},
        {"frame grabbers filling without a count",
         [&] { return f.enumerateFrameGrabbers(&record, nullptr); }},
        {"property 0", [&] { return f.getCameraProperty("gev0", 0, &value); }},
        {"property 5", [&] { return f.getCameraProperty("gev0", 5, &value); }},
        {"property without a name", [&] { return f.getCameraProperty(nullptr, 1, &value); }},
        {"property without a place", [&] { return f.getCameraProperty("gev0", 1, nullptr); }},
        {"driver name without a buffer", [&] { return f.getDriverName(0x1234, nullptr, 16); }},
        {"driver name into no room", [&] { return f.getDriverName(0x1234, name, 0); }},
        {"driver version without a place", [&] { return f.getDriverVersion(nullptr); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.make(), kVyrexStatusBadArgument) << c.call;
    }
    EXPECT_EQ(count, kPoisonWord);
    EXPECT_EQ(value, kPoisonWord);
    EXPECT_EQ(std::string(name), "poison");
}

std::string libraryName(const testing::TestParamInfo<std::string>& info) {
    const std::string path = info.param;
    std::string name = path.substr(path.find_last_of('/') + 1);
    name = name.substr(0, name.find('.'));
    return name.rfind("lib", 0) == 0 ? name.substr(3) : name;
}

INSTANTIATE_TEST_SUITE_P(EveryDriverLibrary, DriverConformance,
                         testing::Values(KR_DRIVER_LIBRARIES), libraryName);

} // namespace
