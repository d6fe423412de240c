// Every interface between the expert module and the host framework, with its
// operations in the order of its table of operations. The host was built
// against exactly this layout: slots, argument types and identifiers are
// binding. Slot numbers count from 0 at QueryInterface.
#pragma once

#include "contract/IUnknown.h"
#include "contract/oxSysTypes.h"

#include <cstdint>

class IoxSysEnumStringList;
class IoxSysEnumPropertyTag;
class IoxSysPropertyBag;
class IoxSysPropertyBag2;
class IoxSysPropertyBagCollection;
class IoxSysFrameworkNotificationHandler;

class IoxSysExpertInfo : public IUnknown {
public:
    virtual int32_t GetProductID(_GUID* id) = 0;                // 3
    virtual int32_t GetProductDisplayName(char16_t** name) = 0; // 4
    virtual int32_t GetProductVersion(char16_t** version) = 0;  // 5
    virtual int32_t GetProgrammaticName(char16_t** name) = 0;   // 6

protected:
    ~IoxSysExpertInfo() = default;
};

class IoxSysExpert : public IoxSysExpertInfo {
public:
    virtual int32_t Initialize() = 0;                                                         // 7
    virtual int32_t Finalize() = 0;                                                           // 8
    virtual int32_t SearchForItemsAndProperties(IoxSysPropertyBagCollection* collection) = 0; // 9
    virtual int32_t SearchForItemNames(IoxSysEnumStringList** names) = 0;                     // 10
    virtual int32_t GetPropertiesOfItem(const char16_t* item, IoxSysPropertyBag** bag) = 0;   // 11
    virtual int32_t PopulateOrRefreshProperties(const char16_t* item, uint32_t count,
                                                const uint32_t* tags, int32_t flag,
                                                IoxSysPropertyBag** bag) = 0; // 12
    virtual int32_t SetPreferredLocale(oxSysLocale locale) = 0;               // 13
    virtual int32_t RenameAlias(const char16_t* item, const char16_t* newName,
                                oxSysRenameValidationMode mode, int32_t* result,
                                char16_t** text) = 0; // 14
    virtual int32_t ValidatePropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                            IoxSysEnumPropertyTag** tags,
                                            char16_t** text) = 0; // 15
    virtual int32_t PersistPropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                           int32_t* result) = 0; // 16

protected:
    ~IoxSysExpert() = default;
};

class IoxSysExpert2 : public IoxSysExpert {
protected:
    ~IoxSysExpert2() = default;
};

class IoxSysExpertPlugPlay : public IUnknown {
public:
    virtual int32_t
    RegisterNotificationCallback(IoxSysFrameworkNotificationHandler* handler) = 0; // 3

protected:
    ~IoxSysExpertPlugPlay() = default;
};

class IoxSysPropertyBag : public IUnknown {
public:
    virtual int32_t EnumProperties(IoxSysEnumPropertyTag** tags) = 0;                         // 3
    virtual int32_t HasProperty(uint32_t tag) = 0;                                            // 4
    virtual int32_t GetPropertyType(uint32_t tag, oxSysAttributeType* type) = 0;              // 5
    virtual int32_t DeleteProperty(uint32_t tag) = 0;                                         // 6
    virtual int32_t DeleteAllProperties() = 0;                                                // 7
    virtual int32_t SetBooleanProperty(uint32_t tag, int32_t value) = 0;                      // 8
    virtual int32_t SetIntegerProperty(uint32_t tag, int32_t value) = 0;                      // 9
    virtual int32_t SetUnsignedIntegerProperty(uint32_t tag, uint32_t value) = 0;             // 10
    virtual int32_t SetDoubleProperty(uint32_t tag, double value) = 0;                        // 11
    virtual int32_t SetGuidProperty(uint32_t tag, _GUID value) = 0;                           // 12
    virtual int32_t SetStringProperty(uint32_t tag, const char16_t* value) = 0;               // 13
    virtual int32_t _SetTimestampProperty(uint32_t tag, const oxSysAttrTimestamp* value) = 0; // 14
    virtual int32_t GetBooleanProperty(uint32_t tag, int32_t* value) = 0;                     // 15
    virtual int32_t GetIntegerProperty(uint32_t tag, int32_t* value) = 0;                     // 16
    virtual int32_t GetUnsignedIntegerProperty(uint32_t tag, uint32_t* value) = 0;            // 17
    virtual int32_t GetDoubleProperty(uint32_t tag, double* value) = 0;                       // 18
    virtual int32_t GetGuidProperty(uint32_t tag, _GUID* value) = 0;                          // 19
    virtual int32_t GetStringProperty(uint32_t tag, char16_t** value) = 0;                    // 20
    virtual int32_t GetTimestampProperty(uint32_t tag, oxSysAttrTimestamp* value) = 0;        // 21

protected:
    ~IoxSysPropertyBag() = default;
};

class IoxSysPropertyBag2 : public IoxSysPropertyBag {
public:
    virtual int32_t Clone(IoxSysPropertyBag** copy) = 0;               // 22
    virtual int32_t ClearChangedTags() = 0;                            // 23
    virtual int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) = 0; // 24

protected:
    ~IoxSysPropertyBag2() = default;
};

class IoxSysPropertyBag3 : public IoxSysPropertyBag2 {
public:
    virtual int32_t GetTimestampPropertyUTC(uint32_t tag, oxSysAttrTimestampUTC* value) = 0; // 25
    virtual int32_t SetTimestampPropertyUTC(uint32_t tag,
                                            const oxSysAttrTimestampUTC* value) = 0; // 26
    virtual int32_t AcquireBatchLock() = 0;                                          // 27
    virtual int32_t ReleaseBatchLock() = 0;                                          // 28

protected:
    ~IoxSysPropertyBag3() = default;
};

class IoxSysEnumStringList : public IUnknown {
public:
    virtual int32_t Next(uint32_t count, char16_t** items, uint32_t* fetched) = 0; // 3
    virtual int32_t Skip(uint32_t count) = 0;                                      // 4
    virtual int32_t Reset() = 0;                                                   // 5
    virtual int32_t Clone(IoxSysEnumStringList** copy) = 0;                        // 6

protected:
    ~IoxSysEnumStringList() = default;
};

class IoxSysEnumPropertyTag : public IUnknown {
public:
    virtual int32_t Next(uint32_t count, uint32_t* tags, uint32_t* fetched) = 0; // 3
    virtual int32_t Skip(uint32_t count) = 0;                                    // 4
    virtual int32_t Reset() = 0;                                                 // 5
    virtual int32_t Clone(IoxSysEnumPropertyTag** copy) = 0;                     // 6

protected:
    ~IoxSysEnumPropertyTag() = default;
};

// Supplied by the host. The expert calls only AddPropertyBag; the collection
// takes its own reference to a bag that it keeps.
class IoxSysPropertyBagCollection : public IUnknown {
public:
    virtual int32_t GetCount(uint32_t* count) = 0;                               // 3
    virtual int32_t GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) = 0; // 4
    virtual int32_t AddPropertyBag(IoxSysPropertyBag* bag) = 0;                  // 5

protected:
    ~IoxSysPropertyBagCollection() = default;
};

// Supplied by the host, called on the expert's refresh thread with the
// expert's primary interface and an enumerator over the affected item names.
class IoxSysFrameworkNotificationHandler : public IUnknown {
public:
    virtual int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                                   IoxSysEnumStringList* names) = 0; // 3

protected:
    ~IoxSysFrameworkNotificationHandler() = default;
};

// Interface identifiers.
inline constexpr _GUID IID_IoxSysExpertInfo = {
    0x9C257614, 0x172D, 0x4D5D, {0x81, 0xBB, 0x3D, 0x4F, 0x72, 0xBD, 0x30, 0xA4}};
inline constexpr _GUID IID_IoxSysExpert = {
    0xB259235B, 0x6978, 0x4402, {0x89, 0x10, 0xE1, 0x9E, 0x12, 0x95, 0xF3, 0x26}};
inline constexpr _GUID IID_IoxSysExpert2 = {
    0xCF3357AD, 0x3023, 0x4121, {0xA6, 0x0E, 0x2F, 0xF9, 0xB3, 0xA8, 0x7B, 0xEE}};
inline constexpr _GUID IID_IoxSysExpertPlugPlay = {
    0xC20E7758, 0x0346, 0x431A, {0xA4, 0x11, 0xBF, 0x7C, 0x1E, 0x73, 0x6A, 0x60}};
inline constexpr _GUID IID_IoxSysPropertyBag = {
    0x3E2F201D, 0xCABE, 0x466F, {0x93, 0xAE, 0x50, 0x22, 0x44, 0xC1, 0x8D, 0xDE}};
inline constexpr _GUID IID_IoxSysPropertyBag2 = {
    0xE275E061, 0x297B, 0x4463, {0xA5, 0xF1, 0x5D, 0x2D, 0x9D, 0x8F, 0x38, 0x98}};
inline constexpr _GUID IID_IoxSysPropertyBag3 = {
    0xB122AAB9, 0x2F03, 0x4E75, {0xA0, 0xD1, 0xA0, 0xF7, 0xC7, 0xDF, 0x28, 0x38}};
inline constexpr _GUID IID_IoxSysEnumPropertyTag = {
    0xB21429CD, 0x0DDD, 0x48FA, {0x9D, 0xDD, 0x33, 0xA1, 0xCF, 0xA7, 0x9C, 0xDE}};
inline constexpr _GUID IID_IoxSysEnumStringList = {
    0xFB09815D, 0x7F02, 0x459F, {0x87, 0xB8, 0x78, 0x22, 0x7B, 0xE8, 0x41, 0x26}};
