// Loads a camera driver and the expert module the way the framework does:
// the driver into the global scope, where the module's references to the
// driver functions resolve, then the module, then its exported names.
#pragma once

#include "cli/HostError.h"

#include "hostkit/ExpertModule.h"

#include "contract/oxSysInterfaces.h"

#include <chrono>
#include <memory>
#include <string>

class ModuleLoader {
public:
    // Throws HostError when a file cannot be loaded or a name is missing.
    ModuleLoader(const std::string& driverPath, const std::string& modulePath);

    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Repoints the module's INI file path before an expert is created; the
    // text must outlive the module.
    void setIniFilePath(const char* path) { m_module->setIniFilePath(path); }

    // How long a one-shot command lets the driver report its first devices
    // (see SettleWait): 0 unless set.
    void setSettleTime(std::chrono::milliseconds time) { m_settleTime = time; }
    std::chrono::milliseconds settleTime() const { return m_settleTime; }
    const char* iniFilePath() const { return m_module->iniFilePath(); }

    // Creates an expert with the module's factory; throws HostError naming
    // the factory's status.
    IoxSysExpert2* createExpert();

    const char* const* versionRecord() const { return m_module->versionRecord(); }

    const std::string& modulePath() const { return m_module->modulePath(); }
    const std::string& driverPath() const { return m_module->driverPath(); }

    // A name the driver library exports beyond the five driver functions, or
    // null: other drivers need not have it.
    void* driverSymbol(const char* name) const { return m_module->driverSymbol(name); }

private:
    std::chrono::milliseconds m_settleTime{0};
    std::unique_ptr<ExpertModule> m_module;
};

// The directory holding this program, where the module and drivers are built.
std::string programDirectory();
