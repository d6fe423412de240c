// Loads the built module the way the host framework does: the camera driver
// first, into the global scope where the module's references to it resolve,
// then the module itself.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <string>

class LoadedModule {
public:
    using Factory = int32_t (*)(IoxSysExpert2**);
    using VersionRecord = const char* const* (*)();

    // Paths default to the module and the simulated driver of this build.
    LoadedModule();
    LoadedModule(const std::string& driverPath, const std::string& modulePath);
    ~LoadedModule();

    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    // Empty when loading and symbol lookup succeeded.
    const std::string& error() const { return m_error; }

    Factory factory = nullptr;
    VersionRecord versionRecord = nullptr;
    const char** iniFilePath = nullptr;

    // Creates an expert; fails the current test when the factory fails.
    IoxSysExpert2* createExpert() const;

private:
    void* symbol(const char* name);

    void* m_driver = nullptr;
    void* m_module = nullptr;
    std::string m_error;
};
