#include "hostkit/ExpertModule.h"

#include <dlfcn.h>

#include <new>

namespace {

// The loader's reason, without the file's path that it usually begins with.
std::string loaderMessage(const std::string& path) {
    const char* message = dlerror();
    std::string reason = message != nullptr ? message : "unknown loader error";
    if (reason.compare(0, path.size() + 2, path + ": ") == 0) {
        reason.erase(0, path.size() + 2);
    }
    return reason;
}

} // namespace

std::unique_ptr<ExpertModule> ExpertModule::load(const std::string& driverPath,
                                                 const std::string& modulePath, std::string* why) {
    std::unique_ptr<ExpertModule> loaded(new (std::nothrow) ExpertModule(driverPath, modulePath));
    if (!loaded) {
        *why = "Out of memory.";
        return nullptr;
    }
    loaded->m_driver = dlopen(driverPath.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (loaded->m_driver == nullptr) {
        *why =
            "Cannot load the camera driver " + driverPath + ": " + loaderMessage(driverPath) + ".";
        return nullptr;
    }
    loaded->m_module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (loaded->m_module == nullptr) {
        *why =
            "Cannot load the expert module " + modulePath + ": " + loaderMessage(modulePath) + ".";
        return nullptr;
    }
    const auto symbol = [&](const char* name) -> void* {
        void* address = dlsym(loaded->m_module, name);
        if (address == nullptr && why->empty()) {
            *why = "The module " + modulePath + " does not export " + name +
                   ", so it is not a camera expert module.";
        }
        return address;
    };
    why->clear();
    loaded->m_factory = reinterpret_cast<Factory>(symbol("createVyrexSysapiExpert"));
    loaded->m_versionRecord = reinterpret_cast<VersionRecord>(
        symbol("nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray"));
    loaded->m_iniFilePath = static_cast<const char**>(symbol("KRRTINIFilePath"));
    if (!why->empty()) {
        return nullptr;
    }
    return loaded;
}

ExpertModule::~ExpertModule() {
    if (m_module != nullptr) {
        dlclose(m_module);
    }
    if (m_driver != nullptr) {
        dlclose(m_driver);
    }
}

int32_t ExpertModule::createExpert(IoxSysExpert2** expert) const {
    return m_factory(expert);
}

void* ExpertModule::driverSymbol(const char* name) const {
    return dlsym(m_driver, name);
}
