// The built module loaded as the host framework loads it (hostkit), for
// tests: a failure to load is an error() the test asserts on, and a failing
// factory fails the current test.
#pragma once

#include "hostkit/ExpertModule.h"

#include <memory>
#include <string>

class LoadedModule {
public:
    // Paths default to the module and the simulated driver of this build.
    LoadedModule();
    LoadedModule(const std::string& driverPath, const std::string& modulePath);

    // Empty when loading and symbol lookup succeeded.
    const std::string& error() const { return m_error; }

    // The factory itself, called as the host calls it.
    int32_t factory(IoxSysExpert2** expert) const { return m_module->createExpert(expert); }
    const char* const* versionRecord() const { return m_module->versionRecord(); }
    const char* iniFilePath() const { return m_module->iniFilePath(); }
    void setIniFilePath(const char* path) const { m_module->setIniFilePath(path); }

    // Creates an expert; fails the current test when the factory fails.
    IoxSysExpert2* createExpert() const;

private:
    std::string m_error; // before m_module, which is loaded with it
    std::unique_ptr<ExpertModule> m_module;
};
