#include "ExpertSession.h"

#include "HostObject.h"
#include "HostStrings.h"
#include "PropertyBagCollection.h"
#include "PropertyReader.h"
#include "StatusNames.h"

namespace {

HostError refused(const std::string& operation, int32_t status) {
    return HostError("The expert refused " + operation + ": status " + describeStatus(status) +
                     ".");
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
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
    return status == S_OK ? readNames(names.get()) : std::vector<std::string>{};
}

std::vector<PropertyList> ExpertSession::allItems() {
    ComRef<PropertyBagCollection> collection(PropertyBagCollection::create());
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
            items.push_back(readProperties(bag.get()));
        }
    }
    return items;
}

PropertyList ExpertSession::itemProperties(const std::string& name) {
    const std::vector<std::string> names = itemNames(); // waits for the first refresh
    ComRef<IoxSysPropertyBag> bag;
    const int32_t status = m_expert->GetPropertiesOfItem(toUtf16(name).c_str(), bag.put());
    if (status == OX_E_ITEM_NOT_FOUND) {
        throw HostError(names.empty() ? "No item is named '" + name +
                                            "': the driver reports no cameras or frame grabbers."
                                      : "No item is named '" + name +
                                            "'. The items are: " + joined(names) + ".");
    }
    if (status < 0 || !bag) {
        throw refused("the properties of '" + name + "'", status);
    }
    return readProperties(bag.get());
}
