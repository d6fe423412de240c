#include "session/ExpertSession.h"

#include "hostkit/BagCollection.h"
#include "hostkit/HostObject.h"
#include "present/HostStrings.h"
#include "present/StatusNames.h"
#include "session/ExpertAnswers.h"

#include <strings.h>

#include <algorithm>

namespace {

HostError refused(const std::string& operation, int32_t status) {
    return HostError("The expert refused " + operation + ": status " + describeStatus(status) +
                     ".");
}

// The expert takes names without regard to letter case; the device's own
// spelling is the one among its names.
std::string deviceName(const std::vector<std::string>& names, const std::string& typed) {
    if (std::find(names.begin(), names.end(), typed) != names.end()) {
        return typed;
    }
    for (const std::string& name : names) {
        if (strcasecmp(name.c_str(), typed.c_str()) == 0) {
            return name;
        }
    }
    return typed;
}

} // namespace

ExpertSession::ExpertSession(ModuleLoader& loader, IoxSysFrameworkNotificationHandler* handler)
    : m_expert(loader.createExpert()) {
    if (handler == nullptr) {
        return;
    }
    const int32_t found =
        m_expert->QueryInterface(IID_IoxSysExpertPlugPlay, reinterpret_cast<void**>(&m_plugPlay));
    if (found < 0 || m_plugPlay == nullptr) {
        m_plugPlay = nullptr;
        m_expert->Release();
        throw HostError("The expert does not report changes (no IoxSysExpertPlugPlay): status " +
                        describeStatus(found) + ".");
    }
    const int32_t registered = m_plugPlay->RegisterNotificationCallback(handler);
    if (registered < 0) {
        m_plugPlay->Release();
        m_expert->Release();
        throw refused("the notification handler", registered);
    }
}

ExpertSession::~ExpertSession() {
    finalize();
    if (m_plugPlay != nullptr) {
        m_plugPlay->RegisterNotificationCallback(nullptr);
        m_plugPlay->Release();
    }
    m_expert->Release();
}

void ExpertSession::initialize() {
    const int32_t status = m_expert->Initialize();
    if (status < 0) {
        throw refused("to initialize", status);
    }
    m_initialized = true;
}

void ExpertSession::finalize() {
    if (m_initialized) {
        m_initialized = false;
        m_expert->Finalize();
    }
}

std::vector<std::string> ExpertSession::itemNames() {
    ComRef<IoxSysEnumStringList> names;
    const int32_t status = m_expert->SearchForItemNames(names.put());
    if (status < 0) {
        throw refused("to search for item names", status);
    }
    return status == S_OK ? namesOf(names.get()) : std::vector<std::string>{};
}

std::vector<PropertyList> ExpertSession::allItems() {
    ComRef<OwnedBagCollection> collection(OwnedBagCollection::create());
    const int32_t status = m_expert->SearchForItemsAndProperties(collection.get());
    if (status < 0) {
        throw refused("to search for items and their properties", status);
    }
    uint32_t count = 0;
    collection->GetCount(&count);
    std::vector<PropertyList> items;
    for (uint32_t i = 0; i < count; ++i) {
        ComRef<IoxSysPropertyBag> bag;
        if (collection->GetPropertyBag(i, bag.put()) == S_OK) {
            items.push_back(propertiesOf(bag.get()));
        }
    }
    return items;
}

std::optional<NamedItem> ExpertSession::findItem(const std::string& name) {
    const std::vector<std::string> names = itemNames(); // waits for the first refresh
    ComRef<IoxSysPropertyBag> bag;
    const int32_t status = m_expert->GetPropertiesOfItem(toUtf16(name).c_str(), bag.put());
    if (status == OX_E_ITEM_NOT_FOUND) {
        return std::nullopt;
    }
    if (status < 0 || !bag) {
        throw refused("the properties of '" + name + "'", status);
    }
    return NamedItem{deviceName(names, name), propertiesOf(bag.get())};
}
