// The values a property bag stores: one heap object per property, of a small
// class family with one class per value type. A stored value's kind is told
// by its run-time class; its type tag answers GetPropertyType.
#pragma once

#include "contract/Guid.h"
#include "contract/oxSysTypes.h"
#include "objectmodel/CkrBStr.h"

#include <utility>

class CoxPropertyValue {
public:
    explicit CoxPropertyValue(oxSysAttributeType valueType) : type(valueType) {}
    virtual ~CoxPropertyValue() = default;

    CoxPropertyValue(const CoxPropertyValue&) = delete;
    CoxPropertyValue& operator=(const CoxPropertyValue&) = delete;

    oxSysAttributeType GetType() const { return type; }

protected:
    const oxSysAttributeType type;
};

template <class T>
class CoxTemplatePropertyValue : public CoxPropertyValue {
public:
    CoxTemplatePropertyValue(T initial, oxSysAttributeType valueType)
        : CoxPropertyValue(valueType), value(std::move(initial)) {}

    // Replaces the value; the type tag stays.
    void SetValue(T newValue) { value = std::move(newValue); }
    const T& GetValue() const { return value; }

private:
    T value;
};

// The type tag each stored type is always constructed with.
template <class T>
struct KRPropertyTypeOf;
template <>
struct KRPropertyTypeOf<bool> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Boolean;
};
template <>
struct KRPropertyTypeOf<int32_t> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Integer;
};
template <>
struct KRPropertyTypeOf<uint32_t> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_UnsignedInteger;
};
template <>
struct KRPropertyTypeOf<double> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Double;
};
template <>
struct KRPropertyTypeOf<_GUID> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Guid;
};
template <>
struct KRPropertyTypeOf<CkrBStr> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_String;
};
template <>
struct KRPropertyTypeOf<oxSysAttrTimestampUTC> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_TimestampUTC;
};
