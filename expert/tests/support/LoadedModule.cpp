#include "LoadedModule.h"

#include <gtest/gtest.h>

LoadedModule::LoadedModule() : LoadedModule(KR_SIM_DRIVER_PATH, KR_MODULE_PATH) {}

LoadedModule::LoadedModule(const std::string& driverPath, const std::string& modulePath)
    : m_module(ExpertModule::load(driverPath, modulePath, &m_error)) {}

IoxSysExpert2* LoadedModule::createExpert() const {
    IoxSysExpert2* expert = nullptr;
    const int32_t status = factory(&expert);
    EXPECT_EQ(status, 0) << std::hex << "factory status 0x" << uint32_t(status);
    return expert;
}
