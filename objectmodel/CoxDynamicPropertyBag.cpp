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
template <class T>
int32_t CoxDynamicPropertyBag::SetTypedProperty(uint32_t tag, T value) {
    BagLockHolder hold(lock);
    return KRStatusOf([&] {
        const auto found = properties.find(tag);
        CoxTemplatePropertyValue<T>* stored = nullptr;
        if (found != properties.end()) {
            stored = dynamic_cast<CoxTemplatePropertyValue<T>*>(found->second);
            if (stored == nullptr) {
                return OX_E_PROPERTY_TYPE_MISMATCH;
            }
        }
        const bool newlyMarked = changedTags.insert(tag);
        try {
            if (stored != nullptr) {
                stored->SetValue(std::move(value));
            } else {
                auto created = std::make_unique<CoxTemplatePropertyValue<T>>(
                    std::move(value), KRPropertyTypeOf<T>::value);
                properties.emplace(tag, created.get());
                created.release();
            }
        } catch (...) {
            if (newlyMarked) {
                changedTags.erase(tag);
            }
            throw;
        }
        return S_OK;
    });
}

template <class T>
int32_t CoxDynamicPropertyBag::FindTypedProperty(uint32_t tag,
                                                 const CoxTemplatePropertyValue<T>** found) {
    const auto entry = properties.find(tag);
    if (entry == properties.end()) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    *found = dynamic_cast<const CoxTemplatePropertyValue<T>*>(entry->second);
    return *found != nullptr ? S_OK : OX_E_PROPERTY_TYPE_MISMATCH;
}

// The getters of plain values: the stored value on success; the output is
// left untouched on failure.
template <class T>
int32_t CoxDynamicPropertyBag::CopyOut(uint32_t tag, T* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    BagLockHolder hold(lock);
    const CoxTemplatePropertyValue<T>* found = nullptr;
    const int32_t status = FindTypedProperty(tag, &found);
    if (status == S_OK) {
        *value = found->GetValue();
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
    *type = entry->second->GetType();
    return S_OK;
}

int32_t CoxDynamicPropertyBag::DeleteProperty(uint32_t tag) {
    BagLockHolder hold(lock);
    const auto entry = properties.find(tag);
    if (entry == properties.end()) {
        return OX_E_PROPERTY_NOT_FOUND;
    }
    delete entry->second;
    properties.erase(entry);
    changedTags.erase(tag);
    return S_OK;
}

int32_t CoxDynamicPropertyBag::DeleteAllProperties() {
    BagLockHolder hold(lock);
    for (auto& entry : properties) {
        delete entry.second;
    }
    properties.clear();
    changedTags.clear();
    return S_OK;
}

int32_t CoxDynamicPropertyBag::SetBooleanProperty(uint32_t tag, int32_t value) {
    return SetTypedProperty<bool>(tag, value != 0);
}

int32_t CoxDynamicPropertyBag::SetIntegerProperty(uint32_t tag, int32_t value) {
    return SetTypedProperty<int32_t>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetUnsignedIntegerProperty(uint32_t tag, uint32_t value) {
    return SetTypedProperty<uint32_t>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetDoubleProperty(uint32_t tag, double value) {
    return SetTypedProperty<double>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetGuidProperty(uint32_t tag, _GUID value) {
    return SetTypedProperty<_GUID>(tag, value);
}

int32_t CoxDynamicPropertyBag::SetStringProperty(uint32_t tag, const char16_t* value) {
    return KRStatusOf([&] { return SetTypedProperty<CkrBStr>(tag, CkrBStr(value)); });
}

int32_t CoxDynamicPropertyBag::SetTimestampPropertyUTC(uint32_t tag,
                                                       const oxSysAttrTimestampUTC* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    return SetTypedProperty<oxSysAttrTimestampUTC>(tag, *value);
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
    const CoxTemplatePropertyValue<bool>* found = nullptr;
    const int32_t status = FindTypedProperty(tag, &found);
    *value = status == S_OK && found->GetValue() ? 1 : 0;
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
        const CoxTemplatePropertyValue<CkrBStr>* found = nullptr;
        const int32_t status = FindTypedProperty(tag, &found);
        if (status == S_OK) {
            CkrBStr copy(found->GetValue()); // throws rather than hand out a null copy
            *value = copy.Detach();
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
    const CoxTemplatePropertyValue<oxSysAttrTimestampUTC>* found = nullptr;
    const int32_t status = FindTypedProperty(tag, &found);
    if (status == S_OK) {
        utc = found->GetValue();
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

namespace {

// Copies one stored value into target through target's own setter.
int32_t copyValue(const CoxPropertyValue* value, uint32_t tag, IoxSysPropertyBag3* target) {
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<bool>*>(value)) {
        return target->SetBooleanProperty(tag, v->GetValue() ? 1 : 0);
    }
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<int32_t>*>(value)) {
        return target->SetIntegerProperty(tag, v->GetValue());
    }
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<uint32_t>*>(value)) {
        return target->SetUnsignedIntegerProperty(tag, v->GetValue());
    }
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<double>*>(value)) {
        return target->SetDoubleProperty(tag, v->GetValue());
    }
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<_GUID>*>(value)) {
        return target->SetGuidProperty(tag, v->GetValue());
    }
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<CkrBStr>*>(value)) {
        return target->SetStringProperty(tag, v->GetValue().str);
    }
    if (auto* v = dynamic_cast<const CoxTemplatePropertyValue<oxSysAttrTimestampUTC>*>(value)) {
        return target->SetTimestampPropertyUTC(tag, &v->GetValue());
    }
    return E_FAIL;
}

} // namespace

// A clone carries every property with its type and starts with no changed tags.
int32_t CoxDynamicPropertyBag::Clone(IoxSysPropertyBag** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    *copy = nullptr;
    BagLockHolder hold(lock);
    CKRComObject<CoxDynamicPropertyBag>* clone = nullptr;
    const int32_t status = KRStatusOf([&] {
        clone = CreateComObject<CoxDynamicPropertyBag>();
        for (const auto& [tag, value] : properties) {
            const int32_t copied = copyValue(value, tag, clone);
            if (copied != S_OK) {
                return copied;
            }
        }
        clone->ClearChangedTags();
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
