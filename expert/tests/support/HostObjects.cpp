#include "HostObjects.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <new>

namespace {

constexpr int32_t kNoInterface = int32_t(0x80004002);
constexpr int32_t kPointer = int32_t(0x80004003);

bool isUnknown(const _GUID& iid) {
    return IsEqualGUID(iid, IID_IUnknown);
}

// QueryInterface of a host object that has no interface of its own to offer.
template <class Object>
int32_t answerUnknownOnly(Object* object, const _GUID& iid, void** ppv) {
    if (ppv == nullptr) {
        return kPointer;
    }
    *ppv = nullptr;
    if (!isUnknown(iid)) {
        return kNoInterface;
    }
    object->AddRef();
    *ppv = static_cast<IUnknown*>(object);
    return 0;
}

// A tag enumerator of the host's own, over a copy of the tags.
class HostTagEnumerator final : public IoxSysEnumPropertyTag {
public:
    explicit HostTagEnumerator(std::vector<uint32_t> tags) : m_tags(std::move(tags)) {}
    int32_t QueryInterface(const _GUID& iid, void** ppv) override {
        if (ppv == nullptr) {
            return kPointer;
        }
        *ppv = nullptr;
        if (!isUnknown(iid) && !IsEqualGUID(iid, IID_IoxSysEnumPropertyTag)) {
            return kNoInterface;
        }
        AddRef();
        *ppv = this;
        return 0;
    }
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override {
        const uint32_t left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    int32_t Next(uint32_t count, uint32_t* tags, uint32_t* fetched) override {
        uint32_t copied = 0;
        while (copied < count && m_position < m_tags.size()) {
            tags[copied++] = m_tags[m_position++];
        }
        if (fetched != nullptr) {
            *fetched = copied;
        }
        return copied == count ? 0 : 1;
    }
    int32_t Skip(uint32_t count) override {
        m_position += count;
        return m_position <= m_tags.size() ? 0 : 1;
    }
    int32_t Reset() override {
        m_position = 0;
        return 0;
    }
    int32_t Clone(IoxSysEnumPropertyTag**) override { return int32_t(0x80004001); }

private:
    ~HostTagEnumerator() = default;
    std::atomic<uint32_t> m_references{1};
    std::vector<uint32_t> m_tags;
    size_t m_position = 0;
};

} // namespace

std::string takeString(char16_t* text) {
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (const char16_t* p = text; *p != 0; ++p) {
        out += *p < 0x80 ? char(*p) : '?';
    }
    std::free(reinterpret_cast<char*>(text) - 4);
    return out;
}

std::u16string wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::vector<std::string> drainNames(IoxSysEnumStringList* names) {
    std::vector<std::string> out;
    char16_t* name = nullptr;
    while (names->Next(1, &name, nullptr) == 0) {
        out.push_back(takeString(name));
    }
    return out;
}

std::vector<uint32_t> drainTags(IoxSysEnumPropertyTag* tags) {
    std::vector<uint32_t> out;
    uint32_t tag = 0;
    while (tags->Next(1, &tag, nullptr) == 0) {
        out.push_back(tag);
    }
    return out;
}

int32_t RecordingHandler::QueryInterface(const _GUID& iid, void** ppv) {
    return answerUnknownOnly(this, iid, ppv);
}

int32_t RecordingHandler::OnItemsChanged(IoxSysExpert2*, oxSysItemChangeKind change,
                                         IoxSysEnumStringList* names) {
    if (onCall) {
        onCall();
    }
    Notification notification{change, drainNames(names)};
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_notifications.push_back(std::move(notification));
    }
    m_arrived.notify_all();
    return 0;
}

bool RecordingHandler::waitFor(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> hold(m_mutex);
    return m_arrived.wait_for(hold, timeout, [&] { return m_notifications.size() >= count; });
}

bool RecordingHandler::waitFor(oxSysItemChangeKind kind, const std::string& name,
                               std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> hold(m_mutex);
    return m_arrived.wait_for(hold, timeout, [&] {
        for (const Notification& notification : m_notifications) {
            if (notification.kind == kind &&
                std::find(notification.names.begin(), notification.names.end(), name) !=
                    notification.names.end()) {
                return true;
            }
        }
        return false;
    });
}

std::vector<Notification> RecordingHandler::notifications() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_notifications;
}

size_t RecordingHandler::count() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_notifications.size();
}

CollectingCollection::~CollectingCollection() {
    for (IoxSysPropertyBag* bag : bags) {
        bag->Release();
    }
}

int32_t CollectingCollection::QueryInterface(const _GUID& iid, void** ppv) {
    return answerUnknownOnly(this, iid, ppv);
}

int32_t CollectingCollection::GetCount(uint32_t* count) {
    *count = uint32_t(bags.size());
    return 0;
}

int32_t CollectingCollection::GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) {
    if (index >= bags.size()) {
        return int32_t(0x80004005);
    }
    bags[index]->AddRef();
    *bag = bags[index];
    return 0;
}

int32_t CollectingCollection::AddPropertyBag(IoxSysPropertyBag* bag) {
    if (bags.size() >= refuseFrom) {
        return refusal;
    }
    try {
        bags.reserve(bags.size() + 1); // no exception may reach the expert
    } catch (...) {
        return int32_t(0x8007000E);
    }
    bag->AddRef();
    bags.push_back(bag);
    return 0;
}

int32_t ChangedTagsBag::QueryInterface(const _GUID& iid, void** ppv) {
    if (ppv == nullptr) {
        return kPointer;
    }
    *ppv = nullptr;
    if (!isUnknown(iid) && !IsEqualGUID(iid, IID_IoxSysPropertyBag) &&
        !IsEqualGUID(iid, IID_IoxSysPropertyBag2)) {
        return kNoInterface;
    }
    AddRef();
    *ppv = static_cast<IoxSysPropertyBag2*>(this);
    return 0;
}

int32_t ChangedTagsBag::EnumChangedTags(IoxSysEnumPropertyTag** tags) {
    if (giveNoEnumerator) {
        *tags = nullptr;
        return enumStatus;
    }
    *tags = new (std::nothrow) HostTagEnumerator(m_changed);
    return *tags != nullptr ? 0 : int32_t(0x8007000E);
}

namespace {

std::string upperCased(std::string text) {
    for (char& c : text) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

int32_t PictureHandler::QueryInterface(const _GUID& iid, void** ppv) {
    return answerUnknownOnly(this, iid, ppv);
}

int32_t PictureHandler::OnItemsChanged(IoxSysExpert2*, oxSysItemChangeKind change,
                                       IoxSysEnumStringList* names) {
    const bool alone = m_inCall.fetch_add(1) == 0;
    std::vector<std::string> told = drainNames(names);
    std::lock_guard<std::mutex> hold(m_mutex);
    if (!alone) {
        m_contradictions.push_back("two notifications at once");
    }
    for (const std::string& name : told) {
        const std::string key = upperCased(name);
        const auto place = std::lower_bound(m_picture.begin(), m_picture.end(), key);
        const bool present = place != m_picture.end() && *place == key;
        if (change == oxSysItemChangeKind_Added && !present) {
            m_picture.insert(place, key);
        } else if (change == oxSysItemChangeKind_Removed && present) {
            m_picture.erase(place);
        } else if (change != oxSysItemChangeKind_Changed || !present) {
            m_contradictions.push_back("kind " + std::to_string(int(change)) + " for " + name +
                                       (present ? " (present)" : " (absent)"));
        }
        ++m_changesChecked;
    }
    m_inCall.fetch_sub(1);
    return 0;
}

std::vector<std::string> PictureHandler::picture() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_picture;
}

std::vector<std::string> PictureHandler::contradictions() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_contradictions;
}

size_t PictureHandler::changesChecked() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_changesChecked;
}

std::vector<std::string> upperCaseItemNames(IoxSysExpert2* expert) {
    IoxSysEnumStringList* names = nullptr;
    if (expert->SearchForItemNames(&names) != 0) {
        return {};
    }
    std::vector<std::string> all;
    for (const std::string& name : drainNames(names)) {
        all.push_back(upperCased(name));
    }
    names->Release();
    std::sort(all.begin(), all.end());
    return all;
}
