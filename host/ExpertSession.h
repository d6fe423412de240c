// One expert created through the module's factory, released on destruction.
#pragma once

#include "ModuleLoader.h"

class ExpertSession {
public:
    explicit ExpertSession(ModuleLoader& loader) : m_expert(loader.createExpert()) {}
    ~ExpertSession() { m_expert->Release(); }

    ExpertSession(const ExpertSession&) = delete;
    ExpertSession& operator=(const ExpertSession&) = delete;

    IoxSysExpert2* operator->() const { return m_expert; }
    IoxSysExpert2* get() const { return m_expert; }

private:
    IoxSysExpert2* m_expert;
};
