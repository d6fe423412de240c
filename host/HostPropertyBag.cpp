#include "HostPropertyBag.h"

#include "HostStrings.h"
#include "TagEnumerator.h"

#include <algorithm>
#include <ctime>
#include <new>

namespace {

constexpr int64_t k1904To1970Seconds = 2082844800;

template <class Operation>
int32_t statusOf(Operation operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace

HostPropertyBag* HostPropertyBag::create(const PropertyList& properties) {
    HostPropertyBag* bag = new HostPropertyBag;
    try {
        bag->m_properties = properties;
    } catch (...) {
        bag->Release();
        throw;
    }
    return bag;
}

PropertyList HostPropertyBag::properties() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_properties;
}

int32_t HostPropertyBag::setProperty(const Property& property) {
    return statusOf([&] {
        std::lock_guard<std::mutex> hold(m_lock);
        const bool changedBefore = std::find(m_changedTags.begin(), m_changedTags.end(),
                                             property.tag) != m_changedTags.end();
        if (!changedBefore) {
            m_changedTags.push_back(property.tag);
        }
        for (Property& stored : m_properties) {
            if (stored.tag == property.tag) {
                stored = property;
                return S_OK;
            }
        }
        try {
            m_properties.push_back(property);
        } catch (...) {
            if (!changedBefore) {
                m_changedTags.pop_back(); // a changed tag is always a stored one
            }
            throw;
        }
        return S_OK;
    });
}

int32_t HostPropertyBag::enumerate(std::vector<uint32_t> tags, IoxSysEnumPropertyTag** enumerator) {
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = nullptr;
    return statusOf([&] {
        *enumerator = TagEnumerator::create(std::move(tags));
        return S_OK;
    });
}

int32_t HostPropertyBag::EnumProperties(IoxSysEnumPropertyTag** tags) {
    return statusOf([&] {
        std::vector<uint32_t> all;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            for (const Property& property : m_properties) {
                all.push_back(property.tag);
            }
        }
        return enumerate(std::move(all), tags);
    });
}

int32_t HostPropertyBag::HasProperty(uint32_t tag) {
    std::lock_guard<std::mutex> hold(m_lock);
    return findProperty(m_properties, tag) != nullptr ? S_OK : S_FALSE;
}

int32_t HostPropertyBag::GetPropertyType(uint32_t tag, oxSysAttributeType* type) {
    if (type == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> hold(m_lock);
    const Property* found = findProperty(m_properties, tag);
    if (found == nullptr) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    *type = found->type;
    return S_OK;
}

int32_t HostPropertyBag::DeleteProperty(uint32_t tag) {
    std::lock_guard<std::mutex> hold(m_lock);
    const auto stored = std::find_if(m_properties.begin(), m_properties.end(),
                                     [&](const Property& p) { return p.tag == tag; });
    if (stored == m_properties.end()) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    m_properties.erase(stored);
    m_changedTags.erase(std::remove(m_changedTags.begin(), m_changedTags.end(), tag),
                        m_changedTags.end());
    return S_OK;
}

int32_t HostPropertyBag::DeleteAllProperties() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_properties.clear();
    m_changedTags.clear();
    return S_OK;
}

int32_t HostPropertyBag::SetBooleanProperty(uint32_t tag, int32_t value) {
    return setProperty(makeProperty(tag, value != 0));
}

int32_t HostPropertyBag::SetIntegerProperty(uint32_t tag, int32_t value) {
    return setProperty(makeProperty(tag, value));
}

int32_t HostPropertyBag::SetUnsignedIntegerProperty(uint32_t tag, uint32_t value) {
    return setProperty(makeProperty(tag, value));
}

int32_t HostPropertyBag::SetDoubleProperty(uint32_t tag, double value) {
    return setProperty(makeProperty(tag, value));
}

int32_t HostPropertyBag::SetGuidProperty(uint32_t tag, _GUID value) {
    return setProperty(makeProperty(tag, value));
}

int32_t HostPropertyBag::SetStringProperty(uint32_t tag, const char16_t* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    return statusOf([&] { return setProperty(makeProperty(tag, toUtf8(value))); });
}

int32_t HostPropertyBag::_SetTimestampProperty(uint32_t, const oxSysAttrTimestamp*) {
    return E_NOTIMPL; // local calendar times are read, never stored
}

template <class T>
int32_t HostPropertyBag::getTyped(uint32_t tag, T* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> hold(m_lock);
    const Property* found = findProperty(m_properties, tag);
    if (found == nullptr) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    if (!std::holds_alternative<T>(found->value) || found->readStatus != 0) {
        return OX_E_PROPERTY_TYPE_MISMATCH;
    }
    *value = std::get<T>(found->value);
    return S_OK;
}

int32_t HostPropertyBag::GetBooleanProperty(uint32_t tag, int32_t* value) {
    bool stored = false;
    const int32_t status = getTyped(tag, value != nullptr ? &stored : nullptr);
    if (status == S_OK) {
        *value = stored ? 1 : 0;
    }
    return status;
}

int32_t HostPropertyBag::GetIntegerProperty(uint32_t tag, int32_t* value) {
    return getTyped(tag, value);
}

int32_t HostPropertyBag::GetUnsignedIntegerProperty(uint32_t tag, uint32_t* value) {
    return getTyped(tag, value);
}

int32_t HostPropertyBag::GetDoubleProperty(uint32_t tag, double* value) {
    return getTyped(tag, value);
}

int32_t HostPropertyBag::GetGuidProperty(uint32_t tag, _GUID* value) {
    return getTyped(tag, value);
}

int32_t HostPropertyBag::GetStringProperty(uint32_t tag, char16_t** value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = nullptr;
    return statusOf([&] {
        std::string stored;
        const int32_t status = getTyped(tag, &stored);
        if (status != S_OK) {
            return status;
        }
        *value = allocHostString(toUtf16(stored));
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    });
}

// The local calendar time of a stored UTC timestamp; all fields -1 for no time.
int32_t HostPropertyBag::GetTimestampProperty(uint32_t tag, oxSysAttrTimestamp* value) {
    oxSysAttrTimestampUTC stored{};
    const int32_t status = getTyped(tag, value != nullptr ? &stored : nullptr);
    if (status != S_OK) {
        return status;
    }
    *value = {-1, -1, -1, -1, -1, -1};
    const int64_t since1904 = int64_t((uint64_t(stored.words[0]) << 32) | stored.words[1]);
    if (since1904 == 0 && stored.words[2] == 0 && stored.words[3] == 0) {
        return S_OK;
    }
    const time_t seconds = time_t(since1904 - k1904To1970Seconds);
    struct tm local {};
    if (localtime_r(&seconds, &local) == nullptr) {
        return E_FAIL;
    }
    *value = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
              local.tm_hour,        local.tm_min,     local.tm_sec};
    return S_OK;
}

int32_t HostPropertyBag::Clone(IoxSysPropertyBag** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    *copy = nullptr;
    return statusOf([&] {
        std::lock_guard<std::mutex> hold(m_lock);
        HostPropertyBag* clone = create(m_properties);
        try {
            clone->m_changedTags = m_changedTags;
        } catch (...) {
            clone->Release();
            throw;
        }
        *copy = clone;
        return S_OK;
    });
}

int32_t HostPropertyBag::ClearChangedTags() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_changedTags.empty()) {
        return S_FALSE;
    }
    m_changedTags.clear();
    return S_OK;
}

int32_t HostPropertyBag::EnumChangedTags(IoxSysEnumPropertyTag** tags) {
    return statusOf([&] {
        std::vector<uint32_t> changed;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            changed = m_changedTags;
        }
        return enumerate(std::move(changed), tags);
    });
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
