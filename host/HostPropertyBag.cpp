#include "HostPropertyBag.h"

#include "HostStrings.h"
#include "TagEnumerator.h"

#include <algorithm>
#include <new>

int32_t HostPropertyBag::markChanged(uint32_t tag) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (std::find(m_changedTags.begin(), m_changedTags.end(), tag) != m_changedTags.end()) {
        return S_OK;
    }
    try {
        m_changedTags.push_back(tag);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

int32_t HostPropertyBag::EnumChangedTags(IoxSysEnumPropertyTag** tags) {
    if (tags == nullptr) {
        return E_POINTER;
    }
    *tags = nullptr;
    try {
        std::lock_guard<std::mutex> hold(m_lock);
        *tags = TagEnumerator::create(m_changedTags);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

int32_t setThroughInterface(IoxSysPropertyBag* bag, const Property& property) {
    return std::visit(
        [&](const auto& value) -> int32_t {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) {
                return bag->SetBooleanProperty(property.tag, value ? 1 : 0);
            } else if constexpr (std::is_same_v<T, int32_t>) {
                return bag->SetIntegerProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                return bag->SetUnsignedIntegerProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, double>) {
                return bag->SetDoubleProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, _GUID>) {
                return bag->SetGuidProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                const std::u16string text = toUtf16(value);
                return bag->SetStringProperty(property.tag, text.c_str());
            } else {
                return E_NOTIMPL;
            }
        },
        property.value);
}
