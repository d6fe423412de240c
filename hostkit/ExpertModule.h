// Loads a camera driver and the expert module the way the framework does:
// the driver into the global scope, where the module's references to the
// driver functions resolve, then the module, local, then its exported names.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <memory>
#include <string>

class ExpertModule {
public:
    using Factory = int32_t (*)(IoxSysExpert2**);
    using VersionRecord = const char* const* (*)();

    // The loaded module, or none with *why telling which file or name failed
    // ("Cannot load the camera driver PATH: REASON.").
    static std::unique_ptr<ExpertModule> load(const std::string& driverPath,
                                              const std::string& modulePath, std::string* why);
    ~ExpertModule();

    ExpertModule(const ExpertModule&) = delete;
    ExpertModule& operator=(const ExpertModule&) = delete;

    // The factory's status and the expert it gave (a factory may break its
    // word and give none with success).
    int32_t createExpert(IoxSysExpert2** expert) const;

    const char* const* versionRecord() const { return m_versionRecord(); }

    // The module's INI file path, which a host may repoint before it creates
    // an expert; the text must outlive the module.
    const char* iniFilePath() const { return *m_iniFilePath; }
    void setIniFilePath(const char* path) const { *m_iniFilePath = path; }

    // A name the driver library exports beyond the five driver functions, or
    // null: other drivers need not have it.
    void* driverSymbol(const char* name) const;

    const std::string& driverPath() const { return m_driverPath; }
    const std::string& modulePath() const { return m_modulePath; }

private:
    ExpertModule(const std::string& driverPath, const std::string& modulePath)
        : m_driverPath(driverPath), m_modulePath(modulePath) {}

    std::string m_driverPath;
    std::string m_modulePath;
    void* m_driver = nullptr;
    void* m_module = nullptr;
    Factory m_factory = nullptr;
    VersionRecord m_versionRecord = nullptr;
    const char** m_iniFilePath = nullptr;
};
