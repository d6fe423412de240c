// One expert as the framework drives it: created with the module's factory,
// given the host's notification handler, initialized, searched, and on the
// way out finalized and released.
#pragma once

#include "hostkit/Property.h"
#include "session/ModuleLoader.h"

#include "contract/oxSysInterfaces.h"

#include <optional>
#include <string>
#include <vector>

struct NamedItem {
    std::string name; // as the device has it
    PropertyList properties;
};

class ExpertSession {
public:
    // Creates the expert and, when a handler is given, registers it through
    // IoxSysExpertPlugPlay (the expert takes its own reference). Throws
    // HostError.
    explicit ExpertSession(ModuleLoader& loader,
                           IoxSysFrameworkNotificationHandler* handler = nullptr);

    // Finalize (when initialized), then unregisters the handler and releases
    // every reference the host holds.
    ~ExpertSession();

    ExpertSession(const ExpertSession&) = delete;
    ExpertSession& operator=(const ExpertSession&) = delete;

    // Starts the expert's refresh thread.
    void initialize();

    // Stops the refresh thread; the destructor does it when not done before.
    void finalize();

    IoxSysExpert2* operator->() const { return m_expert; }
    IoxSysExpert2* get() const { return m_expert; }

    // The names of every item; waits for the expert's first refresh.
    std::vector<std::string> itemNames();

    // The properties of every item, one list per item in the expert's order;
    // waits for the expert's first refresh.
    std::vector<PropertyList> allItems();

    // The item with that name, letter case aside, under the name the device
    // has; none when no item has it. Throws HostError when the expert fails.
    std::optional<NamedItem> findItem(const std::string& name);

private:
    IoxSysExpert2* m_expert = nullptr;
    IoxSysExpertPlugPlay* m_plugPlay = nullptr; // only while a handler is registered
    bool m_initialized = false;
};
