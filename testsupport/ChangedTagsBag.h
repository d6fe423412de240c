// A host bag with a fixed list of changed tags, as the host hands it over
// for validation; only EnumChangedTags is used.
#pragma once

#include "HostCounted.h"

#include <cstdint>
#include <vector>

class ChangedTagsBag : public IoxSysPropertyBag2, public HostCounted {
public:
    explicit ChangedTagsBag(std::vector<uint32_t> changed) : m_changed(std::move(changed)) {}
    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return addRef(); }
    uint32_t Release() override { return release(); }
    int32_t EnumProperties(IoxSysEnumPropertyTag**) override { return kNotImplemented; }
    int32_t HasProperty(uint32_t) override { return 1; }
    int32_t GetPropertyType(uint32_t, oxSysAttributeType*) override { return kNotImplemented; }
    int32_t DeleteProperty(uint32_t) override { return kNotImplemented; }
    int32_t DeleteAllProperties() override { return kNotImplemented; }
    int32_t SetBooleanProperty(uint32_t, int32_t) override { return kNotImplemented; }
    int32_t SetIntegerProperty(uint32_t, int32_t) override { return kNotImplemented; }
    int32_t SetUnsignedIntegerProperty(uint32_t, uint32_t) override { return kNotImplemented; }
    int32_t SetDoubleProperty(uint32_t, double) override { return kNotImplemented; }
    int32_t SetGuidProperty(uint32_t, _GUID) override { return kNotImplemented; }
    int32_t SetStringProperty(uint32_t, const char16_t*) override { return kNotImplemented; }
    int32_t _SetTimestampProperty(uint32_t, const oxSysAttrTimestamp*) override {
        return kNotImplemented;
    }
    int32_t GetBooleanProperty(uint32_t, int32_t*) override { return kNotImplemented; }
    int32_t GetIntegerProperty(uint32_t, int32_t*) override { return kNotImplemented; }
    int32_t GetUnsignedIntegerProperty(uint32_t, uint32_t*) override { return kNotImplemented; }
    int32_t GetDoubleProperty(uint32_t, double*) override { return kNotImplemented; }
    int32_t GetGuidProperty(uint32_t, _GUID*) override { return kNotImplemented; }
    int32_t GetStringProperty(uint32_t, char16_t**) override { return kNotImplemented; }
    int32_t GetTimestampProperty(uint32_t, oxSysAttrTimestamp*) override { return kNotImplemented; }
    int32_t Clone(IoxSysPropertyBag**) override { return kNotImplemented; }
    int32_t ClearChangedTags() override { return kNotImplemented; }
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override;

    int32_t enumStatus = S_OK; // what EnumChangedTags answers when it has no enumerator to give
    bool giveNoEnumerator = false;

private:
    static constexpr int32_t kNotImplemented = E_NOTIMPL;
    std::vector<uint32_t> m_changed;
};
