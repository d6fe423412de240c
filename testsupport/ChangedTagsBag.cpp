#include "ChangedTagsBag.h"

#include "host/HostObject.h"

#include <new>

namespace {

// A tag enumerator of the host's own, over a copy of the tags.
class HostTagEnumerator final
    : public HostObject<IoxSysEnumPropertyTag, IID_IoxSysEnumPropertyTag> {
public:
    explicit HostTagEnumerator(std::vector<uint32_t> tags) : m_tags(std::move(tags)) {}
    int32_t Next(uint32_t count, uint32_t* tags, uint32_t* fetched) override {
        uint32_t copied = 0;
        while (copied < count && m_position < m_tags.size()) {
            tags[copied++] = m_tags[m_position++];
        }
        if (fetched != nullptr) {
            *fetched = copied;
        }
        return copied == count ? S_OK : S_FALSE;
    }
    int32_t Skip(uint32_t count) override {
        m_position += count;
        return m_position <= m_tags.size() ? S_OK : S_FALSE;
    }
    int32_t Reset() override {
        m_position = 0;
        return S_OK;
    }
    int32_t Clone(IoxSysEnumPropertyTag**) override { return E_NOTIMPL; }

private:
    ~HostTagEnumerator() override = default;
    std::vector<uint32_t> m_tags;
    size_t m_position = 0;
};

} // namespace

int32_t ChangedTagsBag::QueryInterface(const _GUID& iid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IoxSysPropertyBag) &&
        !IsEqualGUID(iid, IID_IoxSysPropertyBag2)) {
        return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IoxSysPropertyBag2*>(this);
    return S_OK;
}

int32_t ChangedTagsBag::EnumChangedTags(IoxSysEnumPropertyTag** tags) {
    if (giveNoEnumerator) {
        *tags = nullptr;
        return enumStatus;
    }
    *tags = new (std::nothrow) HostTagEnumerator(m_changed);
    return *tags != nullptr ? S_OK : E_OUTOFMEMORY;
}
