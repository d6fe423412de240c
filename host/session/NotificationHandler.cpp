#include "session/NotificationHandler.h"

#include "cli/HostError.h"
#include "present/HostStrings.h"
#include "session/ExpertAnswers.h"

namespace {

ItemPicture pictureOf(IoxSysExpert2* expert, const std::string& name, oxSysItemChangeKind change) {
    ItemPicture picture;
    picture.name = name;
    if (change == oxSysItemChangeKind_Removed || expert == nullptr) {
        return picture;
    }
    ComRef<IoxSysPropertyBag> bag;
    picture.status = expert->GetPropertiesOfItem(toUtf16(name).c_str(), bag.put());
    if (picture.status == S_OK && bag) {
        try {
            picture.properties = propertiesOf(bag.get());
        } catch (const HostError&) {
            picture.status = E_FAIL; // the bag could not enumerate its tags
        }
    }
    return picture;
}

} // namespace

// Runs on the refresh thread, which waits for it: no exception may leave, and
// nothing here blocks for long.
int32_t NotificationHandler::OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                                            IoxSysEnumStringList* names) {
    if (!m_sink) {
        return S_OK;
    }
    try {
        Notification notification;
        notification.time = std::chrono::system_clock::now();
        notification.change = change;
        for (const std::string& name : namesOf(names)) {
            notification.items.push_back(pictureOf(expert, name, change));
        }
        m_sink(std::move(notification));
    } catch (...) {
        // A notification the host cannot take in is lost, not fatal.
    }
    return S_OK;
}

std::string changeName(oxSysItemChangeKind change) {
    switch (change) {
    case oxSysItemChangeKind_Added:
        return "added";
    case oxSysItemChangeKind_Removed:
        return "removed";
    case oxSysItemChangeKind_Changed:
        return "changed";
    }
    return "change " + std::to_string(int32_t(change));
}
