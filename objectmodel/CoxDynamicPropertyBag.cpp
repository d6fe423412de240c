#include "objectmodel/CoxDynamicPropertyBag.h"

#include "objectmodel/Boundary.h"
#include "objectmodel/EnumOnSTL.h"
#include "tarn/AbsTimeToString.h"

#include <memory>
#include <new>

namespace {

using TagEnumerator = CoxSysEnumPropertyTagsSTL<std::vector<uint32_t>>;

// Holds the bag's lock for one operation, on every way out.
class BagLockHolder {
public:
    explicit BagLockHolder(Bramble::CkrCS& lock) : m_lock(lock) { m_lock.Lock(-1); }
    ~BagLockHolder() { m_lock.Unlock(); }

    BagLockHolder(const BagLockHolder&) = delete;
    BagLockHolder& operator=(const BagLockHolder&) = delete;

private:
    Bramble::CkrCS& m_lock;
};

void setNoTime(oxSysAttrTimestamp* value) {
    value->year = value->month = value->day = -1;
    value->hour = value->minute = value->second = -1;
}

bool isZero(const oxSysAttrTimestampUTC& time) {
    return (time.words[0] | time.words[1] | time.words[2] | time.words[3]) == 0;
}

} // namespace

const KRInterfaceMapEntry* CoxDynamicPropertyBag::_GetEntries() {
    static const KRInterfaceMapEntry entries[] = {
        {&IID_IoxSysPropertyBag, 0, kKRMapPlainOffset},
        {&IID_IoxSysPropertyBag2, 0, kKRMapPlainOffset},
        {&IID_IoxSysPropertyBag3, 0, kKRMapPlainOffset},
        {nullptr, 0, kKRMapEnd},
    };
    return entries;
}

CoxDynamicPropertyBag::CoxDynamicPropertyBag() {
    if (!lock.IsValid()) {
        throw std::bad_alloc(); // no kernel object for the lock: the bag cannot exist
    }
}

CoxDynamicPropertyBag::~CoxDynamicPropertyBag() {
    CoxDynamicPropertyBag::DeleteAllProperties(); // every value freed under the lock
}

// A set either happens whole (value stored, tag marked changed) or not at
// all: the tag is marked first and unmarked again when storing the value
// fails, so a memory failure leaves the bag as it was.
int32_t CoxDynamicPropertyBag::SetTypedProperty(uint32_t tag, CoxPropertyValue value) {
    BagLockHolder hold(lock);
    return KRStatusOf([&] {
        const auto found = properties.find(tag);
        if (found != properties.end() && found->second.GetType() != value.GetType()) {
            return OX_E_PROPERTY_TYPE_MISMATCH;
        }
        const bool newlyMarked = changedTags.insert(tag);
        if (found != properties.end()) {
            found->second = std::move(value); // cannot fail
            return S_OK;
        }
        try {
            properties.emplace(tag, std::move(value));
        } catch (...) {
            if (newlyMarked) {
                changedTags.erase(tag);
            }
            throw;
        }
        return S_OK;
    });
}

int32_t CoxDynamicPropertyBag::FindTypedProperty(uint32_t tag, oxSysAttributeType type,
                                                 const CoxPropertyValue** found) {
    const auto entry = properties.find(tag);
    if (entry == properties.end()) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    if (entry->second.GetType() != type) {
        return OX_E_PROPERTY_TYPE_MISMATCH;
    }
    *found = &entry->second;
    return S_OK;
}

// The getters of plain values: the stored value on success; the output is
// left untouched on failure.
template <class T>
int32_t CoxDynamicPropertyBag::CopyOut(uint32_t tag, T* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    BagLockHolder hold(lock);
    const CoxPropertyValue* found = nullptr;
    const int32_t status = FindTypedProperty(tag, KRPropertyTypeOf<T>::value, &found);
    if (status == S_OK) {
        *value = found->Get<T>();
    }
    return status;
}

int32_t CoxDynamicPropertyBag::HasProperty(uint32_t tag) {
    BagLockHolder hold(lock);
    return properties.count(tag) != 0 ? S_OK : S_FALSE;
}

int32_t CoxDynamicPropertyBag::GetPropertyType(uint32_t tag, oxSysAttributeType* type) {
    if (type == nullptr) {
        return E_POINTER;
    }
    BagLockHolder hold(lock);
    const auto entry = properties.find(tag);
    if (entry == properties.end()) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    *type = entry->second.GetType();
    return S_OK;
}

int32_t CoxDynamicPropertyBag::DeleteProperty(uint32_t tag) {
    BagLockHolder hold(lock);
    const auto entry = properties.find(tag);
    if (entry == properties.end()) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    properties.erase(entry);
    changedTags.erase(tag);
    return S_OK;
}

int32_t CoxDynamicPropertyBag::DeleteAllProperties() {
    BagLockHolder hold(lock);
    properties.clear();
    changedTags.clear();
    return S_OK;
}

int32_t CoxDynamicPropertyBag::SetBooleanProperty(uint32_t tag, int32_t value) {
    return SetPlainProperty<bool>(tag, value != 0);
}

int32_t CoxDynamicPropertyBag::SetIntegerProperty(uint32_t tag, int32_t value) {
    return SetPlainProperty<int32_t>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetUnsignedIntegerProperty(uint32_t tag, uint32_t value) {
    return SetPlainProperty<uint32_t>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetDoubleProperty(uint32_t tag, double value) {
    return SetPlainProperty<double>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetGuidProperty(uint32_t tag, _GUID value) {
    return SetPlainProperty<_GUID>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetStringProperty(uint32_t tag, const char16_t* value) {
    // The copy is made before the lock is taken.
    return KRStatusOf([&] { return SetTypedProperty(tag, CoxPropertyValue::String(value)); });
}

int32_t CoxDynamicPropertyBag::SetTimestampPropertyUTC(uint32_t tag,
                                                       const oxSysAttrTimestampUTC* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    return SetPlainProperty<oxSysAttrTimestampUTC>(tag, *value);
}

// Local calendar times can be read from a bag, not written.
int32_t CoxDynamicPropertyBag::_SetTimestampProperty(uint32_t, const oxSysAttrTimestamp*) {
    return E_NOTIMPL;
}

int32_t CoxDynamicPropertyBag::GetBooleanProperty(uint32_t tag, int32_t* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    BagLockHolder hold(lock);
    const CoxPropertyValue* found = nullptr;
    const int32_t status = FindTypedProperty(tag, oxSysAttributeType_Boolean, &found);
    *value = status == S_OK && found->Get<bool>() ? 1 : 0;
    return status;
}

int32_t CoxDynamicPropertyBag::GetIntegerProperty(uint32_t tag, int32_t* value) {
    return CopyOut<int32_t>(tag, value);
}

int32_t CoxDynamicPropertyBag::GetUnsignedIntegerProperty(uint32_t tag, uint32_t* value) {
    return CopyOut<uint32_t>(tag, value);
}

int32_t CoxDynamicPropertyBag::GetDoubleProperty(uint32_t tag, double* value) {
    return CopyOut<double>(tag, value);
}

int32_t CoxDynamicPropertyBag::GetGuidProperty(uint32_t tag, _GUID* value) {
    return CopyOut<_GUID>(tag, value);
}

int32_t CoxDynamicPropertyBag::GetStringProperty(uint32_t tag, char16_t** value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = nullptr;
    BagLockHolder hold(lock);
    return KRStatusOf([&] {
        const CoxPropertyValue* found = nullptr;
        const int32_t status = FindTypedProperty(tag, oxSysAttributeType_String, &found);
        if (status == S_OK) {
            // throws rather than hand out a null copy of a non-null string
            *value = CoxPropertyValue::CopyOfText(found->Text());
        }
        return status;
    });
}

int32_t CoxDynamicPropertyBag::GetTimestampPropertyUTC(uint32_t tag, oxSysAttrTimestampUTC* value) {
    return CopyOut<oxSysAttrTimestampUTC>(tag, value);
}

// A time whose second count lies outside the 32-bit calendar range gives
// 0x80004005 and no time, rather than a wrong date.
int32_t CoxDynamicPropertyBag::GetTimestampProperty(uint32_t tag, oxSysAttrTimestamp* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    BagLockHolder hold(lock);
    oxSysAttrTimestampUTC utc = {{0, 0, 0, 0}};
    const CoxPropertyValue* found = nullptr;
    const int32_t status = FindTypedProperty(tag, oxSysAttributeType_TimestampUTC, &found);
    if (status == S_OK) {
        utc = found->Get<oxSysAttrTimestampUTC>();
    }
    setNoTime(value);
    if (isZero(utc)) {
        return status;
    }
    return KRStatusOf([&] {
        std::tm local{};
        try {
            kr::tarn::AbsTimeToLocalTime(
                kr::tarn::AbsTime(utc.words[0], utc.words[1], utc.words[2], utc.words[3]), true,
                local);
        } catch (const kr::tarn::exception::OutOfRange&) {
            return E_FAIL;
        }
        value->year = local.tm_year + 1900;
        value->month = local.tm_mon + 1;
        value->day = local.tm_mday;
        value->hour = local.tm_hour;
        value->minute = local.tm_min;
        value->second = local.tm_sec;
        return status;
    });
}

int32_t CoxDynamicPropertyBag::ClearChangedTags() {
    BagLockHolder hold(lock);
    if (changedTags.empty()) {
        return S_FALSE;
    }
    changedTags.clear();
    return S_OK;
}

int32_t CoxDynamicPropertyBag::EnumTags(const std::vector<uint32_t>& source,
                                        IoxSysEnumPropertyTag** tags) {
    if (tags == nullptr) {
        return E_POINTER;
    }
    *tags = nullptr;
    if (source.empty()) {
        return S_FALSE;
    }
    return KRStatusOf([&] {
        *tags =
            CreateOwningEnumerator<TagEnumerator>(std::make_unique<std::vector<uint32_t>>(source));
        return S_OK;
    });
}

int32_t CoxDynamicPropertyBag::EnumChangedTags(IoxSysEnumPropertyTag** tags) {
    BagLockHolder hold(lock);
    return EnumTags(changedTags.tags(), tags);
}

int32_t CoxDynamicPropertyBag::EnumProperties(IoxSysEnumPropertyTag** tags) {
    BagLockHolder hold(lock);
    return KRStatusOf([&] {
        std::vector<uint32_t> keys;
        keys.reserve(properties.size());
        for (const auto& entry : properties) {
            keys.push_back(entry.first);
        }
        return EnumTags(keys, tags);
    });
}

// A clone carries every property with its type and starts with no changed
// tags. The new bag is not shared yet, so its entries are copied in one go.
int32_t CoxDynamicPropertyBag::Clone(IoxSysPropertyBag** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    *copy = nullptr;
    BagLockHolder hold(lock);
    CKRComObject<CoxDynamicPropertyBag>* clone = nullptr;
    const int32_t status = KRStatusOf([&] {
        clone = CreateComObject<CoxDynamicPropertyBag>();
        TagMap<CoxPropertyValue> entries(properties);
        clone->properties = std::move(entries);
        return S_OK;
    });
    if (status != S_OK) {
        if (clone != nullptr) {
            clone->Release();
        }
        return status;
    }
    *copy = clone;
    return S_OK;
}

int32_t CoxDynamicPropertyBag::AcquireBatchLock() {
    BagLockHolder hold(lock);
    lock.Lock(-1); // held beyond this call until the matching release
    ++batchLockCount;
    return S_OK;
}

int32_t CoxDynamicPropertyBag::ReleaseBatchLock() {
    BagLockHolder hold(lock);
    if (batchLockCount == 0) {
        return E_FAIL;
    }
    --batchLockCount;
    lock.Unlock();
    return S_OK;
}
