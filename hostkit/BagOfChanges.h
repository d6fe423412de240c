// The framework's bag of changes, as the host hands it to the expert's
// ValidatePropertyChanges: it remembers, in order, the tags set on it (or
// given when it is made) and answers EnumChangedTags with them. That is all
// the expert asks of such a bag, so the values are not kept and every other
// operation is E_NOTIMPL.
#pragma once

#include "hostkit/HostObject.h"
#include "hostkit/Property.h"
#include "hostkit/TagEnumerator.h"

#include "contract/oxSysInterfaces.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

template <class Ownership>
class BagOfChanges : public HostObject<Ownership, IoxSysPropertyBag2, IID_IoxSysPropertyBag,
                                       IID_IoxSysPropertyBag2> {
public:
    // Each setter marks its tag changed.
    int32_t SetBooleanProperty(uint32_t tag, int32_t) override { return markChanged(tag); }
    int32_t SetIntegerProperty(uint32_t tag, int32_t) override { return markChanged(tag); }
    int32_t SetUnsignedIntegerProperty(uint32_t tag, uint32_t) override { return markChanged(tag); }
    int32_t SetDoubleProperty(uint32_t tag, double) override { return markChanged(tag); }
    int32_t SetGuidProperty(uint32_t tag, _GUID) override { return markChanged(tag); }
    int32_t SetStringProperty(uint32_t tag, const char16_t* value) override {
        return value != nullptr ? markChanged(tag) : E_POINTER;
    }

    // The changed tags in the order they were first set.
    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override {
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

    // What a bag of changes is never asked.
    int32_t EnumProperties(IoxSysEnumPropertyTag**) override { return E_NOTIMPL; }
    int32_t HasProperty(uint32_t) override { return E_NOTIMPL; }
    int32_t GetPropertyType(uint32_t, oxSysAttributeType*) override { return E_NOTIMPL; }
    int32_t DeleteProperty(uint32_t) override { return E_NOTIMPL; }
    int32_t DeleteAllProperties() override { return E_NOTIMPL; }
    int32_t _SetTimestampProperty(uint32_t, const oxSysAttrTimestamp*) override {
        return E_NOTIMPL;
    }
    int32_t GetBooleanProperty(uint32_t, int32_t*) override { return E_NOTIMPL; }
    int32_t GetIntegerProperty(uint32_t, int32_t*) override { return E_NOTIMPL; }
    int32_t GetUnsignedIntegerProperty(uint32_t, uint32_t*) override { return E_NOTIMPL; }
    int32_t GetDoubleProperty(uint32_t, double*) override { return E_NOTIMPL; }
    int32_t GetGuidProperty(uint32_t, _GUID*) override { return E_NOTIMPL; }
    int32_t GetStringProperty(uint32_t, char16_t**) override { return E_NOTIMPL; }
    int32_t GetTimestampProperty(uint32_t, oxSysAttrTimestamp*) override { return E_NOTIMPL; }
    int32_t Clone(IoxSysPropertyBag**) override { return E_NOTIMPL; }
    int32_t ClearChangedTags() override { return E_NOTIMPL; }

protected:
    explicit BagOfChanges(std::vector<uint32_t> changedTags = {})
        : m_changedTags(std::move(changedTags)) {}

private:
    int32_t markChanged(uint32_t tag) {
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

    std::mutex m_lock;
    std::vector<uint32_t> m_changedTags; // in the order they were first set
};

// A bag of changes made with new, with one reference for the caller.
class OwnedBagOfChanges final : public BagOfChanges<Owned> {
public:
    // May throw std::bad_alloc.
    static OwnedBagOfChanges* create() { return new OwnedBagOfChanges; }

private:
    OwnedBagOfChanges() = default;
};

// A bag of changes in its owner's scope, with the tags given as changed.
class StackBagOfChanges : public BagOfChanges<OnStack> {
public:
    explicit StackBagOfChanges(std::vector<uint32_t> changedTags)
        : BagOfChanges<OnStack>(std::move(changedTags)) {}
};

// Sets the property's tag through the bag's typed setter for its type, as
// the framework does. E_NOTIMPL for a timestamp, which the bag has no setter
// for.
int32_t setThroughInterface(IoxSysPropertyBag* bag, const Property& property);
