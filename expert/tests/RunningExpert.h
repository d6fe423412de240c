// An expert loaded from the built module over the simulated driver, with a
// short refresh period and a fast kernel clock, and a recording handler.
#pragma once

#include "HostObjects.h"
#include "LoadedModule.h"
#include "RefreshPasses.h"
#include "TempDirectory.h"

#include "simdriver/SimDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

class RunningExpert : public testing::Test {
protected:
    // Refresh period in seconds as the INI file gives it, and how many times
    // faster than real time the module's clock runs (20: a 1 s period is 50 ms).
    virtual uint32_t periodSeconds() const { return 1; }
    virtual unsigned clockSpeedup() const { return 20; }

    void SetUp() override {
        vyrexsim::Reset();
        iniPath = files.write("kr-rt.ini", refreshPeriodIni(periodSeconds()));
        setenv("KRKERNEL_CLOCK_SPEEDUP", std::to_string(clockSpeedup()).c_str(), 1);
        module = std::make_unique<LoadedModule>();
        ASSERT_EQ(module->error(), "");
        module->setIniFilePath(iniPath.c_str());
        expert = module->createExpert();
        ASSERT_NE(expert, nullptr);
        void* itf = nullptr;
        ASSERT_EQ(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf), 0);
        plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
    }

    void TearDown() override {
        if (expert != nullptr) {
            expert->Finalize();
            plugPlay->Release();
            EXPECT_EQ(expert->Release(), 0u);
        }
        module.reset();
        unsetenv("KRKERNEL_CLOCK_SPEEDUP");
        vyrexsim::Reset();
    }

    // Registers the recording handler and starts the refresh thread.
    void start() {
        ASSERT_EQ(plugPlay->RegisterNotificationCallback(&handler), 0);
        ASSERT_EQ(expert->Initialize(), 0);
    }

    // Waits for the first pass: a search returns only after it.
    void waitForFirstPass() {
        IoxSysEnumStringList* names = nullptr;
        if (expert->SearchForItemNames(&names) == 0) {
            names->Release();
        }
    }

    // Another expert over the same driver refreshes `passes` times: a refresh
    // thread of this expert that still ran would meanwhile have made passes
    // of its own at the same period. For showing that no thread is left.
    void letAnotherExpertRefresh(uint32_t passes) {
        IoxSysExpert2* other = module->createExpert();
        ASSERT_NE(other, nullptr);
        ASSERT_EQ(other->Initialize(), 0);
        EXPECT_TRUE(waitForPasses(passes));
        EXPECT_EQ(other->Finalize(), 0);
        EXPECT_EQ(other->Release(), 0u);
    }

    static vyrexsim::Camera camera(const std::string& interfaceName, uint32_t busType,
                                   uint64_t serial = 1) {
        vyrexsim::Camera camera;
        camera.interfaceName = interfaceName;
        camera.busType = busType;
        camera.vendorName = "Acme";
        camera.modelName = "Model " + interfaceName;
        camera.serialNumber = serial;
        return camera;
    }

    static vyrexsim::FrameGrabber frameGrabber(const std::string& name) {
        vyrexsim::FrameGrabber grabber;
        grabber.name = name;
        grabber.modelName = "Grabber " + name;
        return grabber;
    }

    TempDirectory files;
    std::string iniPath;
    std::unique_ptr<LoadedModule> module;
    IoxSysExpert2* expert = nullptr;
    IoxSysExpertPlugPlay* plugPlay = nullptr;
    RecordingHandler handler;
};
