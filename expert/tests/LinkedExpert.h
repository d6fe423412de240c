// For tests that link the expert's code in directly: the simulated driver
// with its default devices, an INI file with a one-second refresh period and
// a kernel clock twenty times faster than real time.
#pragma once

#include "TempDirectory.h"

#include "expert/ModuleExports.h"
#include "kernel/simulation.h"
#include "simdriver/SimDriver.h"

#include <gtest/gtest.h>

#include <string>

class LinkedExpert : public testing::Test {
protected:
    // An expert from the linked factory and its IoxSysExpertPlugPlay (one
    // reference each); false when either cannot be had.
    static bool createExpert(IoxSysExpert2*& expert, IoxSysExpertPlugPlay*& plugPlay) {
        expert = nullptr;
        plugPlay = nullptr;
        if (createVyrexSysapiExpert(&expert) != 0) {
            return false;
        }
        void* itf = nullptr;
        expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf);
        plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);
        return plugPlay != nullptr;
    }

    void SetUp() override {
        vyrexsim::Reset();
        std::string problem;
        ASSERT_TRUE(vyrexsim::LoadScenario(vyrexsim::DefaultScenarioText(), &problem)) << problem;
        iniPath = files.write("kr-rt.ini", refreshPeriodIni(1));
        KRRTINIFilePath = iniPath.c_str();
        kernelSetClockSpeedup(20);
    }
    void TearDown() override {
        KRRTINIFilePath = "/c/kr-rt.ini";
        kernelSetClockSpeedup(1);
        vyrexsim::Reset();
    }

    TempDirectory files;
    std::string iniPath;
};
