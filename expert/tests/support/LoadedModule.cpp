#include "LoadedModule.h"

#include <gtest/gtest.h>

// Read by ThreadSanitizer's runtime only, in every program that loads the
// module through here: the black-box tests and the soak (TSAN_OPTIONS still
// adds to it).
// Its handling of __tls_get_addr guesses the size of a new thread's block of
// the module's thread-local storage from the bytes in front of it; with this
// C library the guess can be garbage and the runtime then aborts ("failed to
// allocate 0xf658... bytes"). The blocks come from the intercepted malloc,
// so nothing is lost by leaving them alone.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_options() {
    return "intercept_tls_get_addr=0";
}

LoadedModule::LoadedModule() : LoadedModule(KR_SIM_DRIVER_PATH, KR_MODULE_PATH) {}

LoadedModule::LoadedModule(const std::string& driverPath, const std::string& modulePath)
    : m_module(ExpertModule::load(driverPath, modulePath, &m_error)) {}

IoxSysExpert2* LoadedModule::createExpert() const {
    IoxSysExpert2* expert = nullptr;
    const int32_t status = factory(&expert);
    EXPECT_EQ(status, 0) << std::hex << "factory status 0x" << uint32_t(status);
    return expert;
}
