#include "ModuleLoader.h"

#include "StatusNames.h"

#include "contract/Status.h"

#include <dlfcn.h>

#include <filesystem>

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

std::string programDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error || !program.has_parent_path() ? "." : program.parent_path().string();
}

ModuleLoader::ModuleLoader(const std::string& driverPath, const std::string& modulePath)
    : m_driverPath(driverPath), m_modulePath(modulePath) {
    m_driver = dlopen(driverPath.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (m_driver == nullptr) {
        throw HostError("Cannot load the camera driver " + driverPath + ": " +
                        loaderMessage(driverPath) + ".");
    }
    m_module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_module == nullptr) {
        const std::string message = loaderMessage(modulePath);
        dlclose(m_driver);
        throw HostError("Cannot load the expert module " + modulePath + ": " + message + ".");
    }
    try {
        m_factory =
            reinterpret_cast<int32_t (*)(IoxSysExpert2**)>(symbol("createVyrexSysapiExpert"));
        m_versionRecord = reinterpret_cast<const char* const* (*)()>(
            symbol("nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray"));
        m_iniFilePath = static_cast<const char**>(symbol("KRRTINIFilePath"));
    } catch (...) {
        dlclose(m_module);
        dlclose(m_driver);
        throw;
    }
}

ModuleLoader::~ModuleLoader() {
    dlclose(m_module);
    dlclose(m_driver);
}

void* ModuleLoader::symbol(const char* name) {
    dlerror();
    void* address = dlsym(m_module, name);
    if (address == nullptr) {
        throw HostError("The module " + m_modulePath + " does not export " + name +
                        ", so it is not a camera expert module.");
    }
    return address;
}

void* ModuleLoader::driverSymbol(const char* name) const {
    return dlsym(m_driver, name);
}

void ModuleLoader::setIniFilePath(const char* path) {
    *m_iniFilePath = path;
}

IoxSysExpert2* ModuleLoader::createExpert() {
    IoxSysExpert2* expert = nullptr;
    const int32_t status = m_factory(&expert);
    if (status != S_OK || expert == nullptr) {
        if (status == S_OK) {
            throw HostError("The expert could not be created: createVyrexSysapiExpert returned "
                            "success but no expert.");
        }
        throw HostError("The expert could not be created: createVyrexSysapiExpert returned " +
                        describeStatus(status) + ".");
    }
    return expert;
}
