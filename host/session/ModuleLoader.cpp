#include "session/ModuleLoader.h"

#include "present/StatusNames.h"

#include "contract/Status.h"

#include <filesystem>

std::string programDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error || !program.has_parent_path() ? "." : program.parent_path().string();
}

ModuleLoader::ModuleLoader(const std::string& driverPath, const std::string& modulePath) {
    std::string why;
    m_module = ExpertModule::load(driverPath, modulePath, &why);
    if (!m_module) {
        throw HostError(why);
    }
}

IoxSysExpert2* ModuleLoader::createExpert() {
    IoxSysExpert2* expert = nullptr;
    const int32_t status = m_module->createExpert(&expert);
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
