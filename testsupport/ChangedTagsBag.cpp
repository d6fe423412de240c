#include "ChangedTagsBag.h"

#include <atomic>
#include <new>

namespace {

// A tag enumerator of the host's own, over a copy of the tags.
class HostTagEnumerator final : public IoxSysEnumPropertyTag {
public:
    explicit HostTagEnumerator(std::vector<uint32_t> tags) : m_tags(std::move(tags)) {}
    int32_t QueryInterface(const _GUID& iid, void** ppv) override {
        if (ppv == nullptr) {
            return int32_t(0x80004003);
        }
        *ppv = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IoxSysEnumPropertyTag)) {
            return int32_t(0x80004002);
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

int32_t ChangedTagsBag::QueryInterface(const _GUID& iid, void** ppv) {
    if (ppv == nullptr) {
        return int32_t(0x80004003);
    }
    *ppv = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IoxSysPropertyBag) &&
        !IsEqualGUID(iid, IID_IoxSysPropertyBag2)) {
        return int32_t(0x80004002);
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
