// Host-side objects for black-box tests: what the framework supplies to the
// expert, written against the contract alone.
#pragma once

#include "contract/oxSysInterfaces.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A reference count for a host object that lives on the test's stack: it
// is never deleted by Release, and the test checks the count instead.
class HostCounted {
public:
    uint32_t references() const { return m_references; }

protected:
    uint32_t addRef() { return ++m_references; }
    uint32_t release() { return --m_references; }

private:
    std::atomic<uint32_t> m_references{1};
};

struct Notification {
    oxSysItemChangeKind kind;
    std::vector<std::string> names; // narrow copies (test names are ASCII)
};

// Records every notification; tests wait for a number of them.
class RecordingHandler : public IoxSysFrameworkNotificationHandler, public HostCounted {
public:
    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override;

    // Waits until at least count notifications arrived; false on timeout.
    bool waitFor(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits until a notification of this kind names the item; false on timeout.
    bool waitFor(oxSysItemChangeKind kind, const std::string& name,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20));
    std::vector<Notification> notifications();
    size_t count();

    // Called at the start of each OnItemsChanged, on the refresh thread.
    std::function<void()> onCall;

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Notification> m_notifications;
};

// Rebuilds the inventory from the notifications alone, and notes every
// notification that contradicts what it was told before: an item added while
// present, removed or changed while absent, or two calls at once (two
// refresh threads, or deliveries out of order). Names compare ignoring
// letter case, as the expert's do.
class PictureHandler : public IoxSysFrameworkNotificationHandler, public HostCounted {
public:
    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override;

    // The picture in ascending case-insensitive order, upper-cased.
    std::vector<std::string> picture();
    std::vector<std::string> contradictions();
    size_t changesChecked();

private:
    std::atomic<int> m_inCall{0};
    std::mutex m_mutex;
    std::vector<std::string> m_picture; // sorted, upper-cased
    std::vector<std::string> m_contradictions;
    size_t m_changesChecked = 0;
};

// Every item name of a search, upper-cased, in ascending order; empty when
// the search fails or finds nothing.
std::vector<std::string> upperCaseItemNames(IoxSysExpert2* expert);

// Keeps every bag it is given; can be told to refuse the n-th.
class CollectingCollection : public IoxSysPropertyBagCollection, public HostCounted {
public:
    ~CollectingCollection();
    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
    int32_t GetCount(uint32_t* count) override;
    int32_t GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) override;
    int32_t AddPropertyBag(IoxSysPropertyBag* bag) override;

    std::vector<IoxSysPropertyBag*> bags;
    size_t refuseFrom = SIZE_MAX; // 0-based index of the first bag refused
    int32_t refusal = int32_t(0x80004005);
};

// A host bag with a fixed list of changed tags; only EnumChangedTags is used.
class ChangedTagsBag : public IoxSysPropertyBag2, public HostCounted {
public:
    explicit ChangedTagsBag(std::vector<uint32_t> changed) : m_changed(std::move(changed)) {}
    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
    int32_t EnumProperties(IoxSysEnumPropertyTag**) override { return int32_t(0x80004001); }
    int32_t HasProperty(uint32_t) override { return 1; }
    int32_t GetPropertyType(uint32_t, oxSysAttributeType*) override { return int32_t(0x80004001); }
    int32_t DeleteProperty(uint32_t) override { return int32_t(0x80004001); }
    int32_t DeleteAllProperties() override { return int32_t(0x80004001); }
    int32_t SetBooleanProperty(uint32_t, int32_t) override { return int32_t(0x80004001); }
    int32_t SetIntegerProperty(uint32_t, int32_t) override { return int32_t(0x80004001); }
    int32_t SetUnsignedIntegerProperty(uint32_t, uint32_t) override { return int32_t(0x80004001); }
    int32_t SetDoubleProperty(uint32_t, double) override { return int32_t(0x80004001); }
    int32_t SetGuidProperty(uint32_t, _GUID) override { return int32_t(0x80004001); }
    int32_t SetStringProperty(uint32_t, const char16_t*) override { return int32_t(0x80004001); }
    int32_t _SetTimestampProperty(uint32_t, const oxSysAttrTimestamp*) override {
        return int32_t(0x80004001);
    }
    int32_t GetBooleanProperty(uint32_t, int32_t*) override { return int32_t(0x80004001); }
    int32_t GetIntegerProperty(uint32_t, int32_t*) override { return int32_t(0x80004001); }
    int32_t GetUnsignedIntegerProperty(uint32_t, uint32_t*) override { return int32_t(0x80004001); }
    int32_t GetDoubleProperty(uint32_t, double*) override { return int32_t(0x80004001); }
    int32_t GetGuidProperty(uint32_t, _GUID*) override { return int32_t(0x80004001); }
    int32_t GetStringProperty(uint32_t, char16_t**) override { return int32_t(0x80004001); }
    int32_t GetTimestampProperty(uint32_t, oxSysAttrTimestamp*) override {
        return int32_t(0x80004001);
    }
    int32_t Clone(IoxSysPropertyBag**) override { return int32_t(0x80004001); }
    int32_t ClearChangedTags() override { return int32_t(0x80004001); }
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override;

    int32_t enumStatus = 0; // what EnumChangedTags answers when it has no enumerator to give
    bool giveNoEnumerator = false;

private:
    std::vector<uint32_t> m_changed;
};

// Every name an enumerator hands out, narrowed; frees each.
std::vector<std::string> drainNames(IoxSysEnumStringList* names);
// Every tag an enumerator hands out.
std::vector<uint32_t> drainTags(IoxSysEnumPropertyTag* tags);
// A string the expert handed out, narrowed and freed as the host frees it.
std::string takeString(char16_t* text);
// A narrow ASCII text as UTF-16.
std::u16string wide(const std::string& text);
