// The property bag the expert fills for each item and hands to the host: a
// map from 32-bit tags to typed values that remembers which tags were set
// since the changes were last cleared. Every operation holds the bag's
// recursive lock; a client can hold it across a batch of operations.
#pragma once

#include "contract/oxSysInterfaces.h"
#include "objectmodel/ComObject.h"
#include "objectmodel/PropertyValue.h"
#include "objectmodel/TagContainers.h"
#include "quarks/criticalSection.h"

#include <cstdint>
#include <vector>

class CoxDynamicPropertyBag : public IoxSysPropertyBag3,
                              public virtual CKRComObjectRootEx<CKRComMultiThreadModelNoCS> {
public:
    static const KRInterfaceMapEntry* _GetEntries();

    int32_t EnumProperties(IoxSysEnumPropertyTag** tags) override;
    int32_t HasProperty(uint32_t tag) override;
    int32_t GetPropertyType(uint32_t tag, oxSysAttributeType* type) override;
    int32_t DeleteProperty(uint32_t tag) override;
    int32_t DeleteAllProperties() override;
    int32_t SetBooleanProperty(uint32_t tag, int32_t value) override;
    int32_t SetIntegerProperty(uint32_t tag, int32_t value) override;
    int32_t SetUnsignedIntegerProperty(uint32_t tag, uint32_t value) override;
    int32_t SetDoubleProperty(uint32_t tag, double value) override;
    int32_t SetGuidProperty(uint32_t tag, _GUID value) override;
    int32_t SetStringProperty(uint32_t tag, const char16_t* value) override;
    int32_t _SetTimestampProperty(uint32_t tag, const oxSysAttrTimestamp* value) override;
    int32_t GetBooleanProperty(uint32_t tag, int32_t* value) override;
    int32_t GetIntegerProperty(uint32_t tag, int32_t* value) override;
    int32_t GetUnsignedIntegerProperty(uint32_t tag, uint32_t* value) override;
    int32_t GetDoubleProperty(uint32_t tag, double* value) override;
    int32_t GetGuidProperty(uint32_t tag, _GUID* value) override;
    int32_t GetStringProperty(uint32_t tag, char16_t** value) override;
    int32_t GetTimestampProperty(uint32_t tag, oxSysAttrTimestamp* value) override;
    int32_t Clone(IoxSysPropertyBag** copy) override;
    int32_t ClearChangedTags() override;
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override;
    int32_t GetTimestampPropertyUTC(uint32_t tag, oxSysAttrTimestampUTC* value) override;
    int32_t SetTimestampPropertyUTC(uint32_t tag, const oxSysAttrTimestampUTC* value) override;
    int32_t AcquireBatchLock() override;
    int32_t ReleaseBatchLock() override;

protected:
    CoxDynamicPropertyBag();
    virtual ~CoxDynamicPropertyBag();

private:
    // Stores value under tag unless the tag holds a value of another type.
    int32_t SetTypedProperty(uint32_t tag, CoxPropertyValue value);

    template <class T>
    int32_t SetPlainProperty(uint32_t tag, const T& value) {
        return SetTypedProperty(tag, CoxPropertyValue::Of(value));
    }

    // The stored value of the given type under tag, or the failing status.
    int32_t FindTypedProperty(uint32_t tag, oxSysAttributeType type,
                              const CoxPropertyValue** found);

    template <class T>
    int32_t CopyOut(uint32_t tag, T* value);

    // An enumerator over a snapshot of tags; 1 and no enumerator when empty.
    static int32_t EnumTags(const std::vector<uint32_t>& source, IoxSysEnumPropertyTag** tags);

    mutable Bramble::CkrCS lock;
    TagMap<CoxPropertyValue> properties;
    TagSet changedTags;
    int32_t batchLockCount = 0;
};
