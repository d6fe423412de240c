#include "LoadedModule.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

LoadedModule::LoadedModule() : LoadedModule(KR_SIM_DRIVER_PATH, KR_MODULE_PATH) {}

LoadedModule::LoadedModule(const std::string& driverPath, const std::string& modulePath) {
    m_driver = dlopen(driverPath.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (m_driver == nullptr) {
        m_error = dlerror();
        return;
    }
    m_module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_module == nullptr) {
        m_error = dlerror();
        return;
    }
    factory = reinterpret_cast<Factory>(symbol("createVyrexSysapiExpert"));
    versionRecord = reinterpret_cast<VersionRecord>(
        symbol("nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray"));
    iniFilePath = static_cast<const char**>(symbol("KRRTINIFilePath"));
}

LoadedModule::~LoadedModule() {
    if (m_module != nullptr) {
        dlclose(m_module);
    }
    if (m_driver != nullptr) {
        dlclose(m_driver);
    }
}

void* LoadedModule::symbol(const char* name) {
    void* address = dlsym(m_module, name);
    if (address == nullptr && m_error.empty()) {
        m_error = std::string("missing symbol ") + name;
    }
    return address;
}

IoxSysExpert2* LoadedModule::createExpert() const {
    IoxSysExpert2* expert = nullptr;
    const int32_t status = factory(&expert);
    EXPECT_EQ(status, 0) << std::hex << "factory status 0x" << uint32_t(status);
    return expert;
}
