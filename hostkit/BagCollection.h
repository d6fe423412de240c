// The host's collection of property bags, which the expert fills during
// SearchForItemsAndProperties. It keeps one reference to every bag it holds
// and gives them back when it goes. A host that can hold only so many bags
// refuses from a given one on.
#pragma once

#include "hostkit/HostObject.h"

#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

template <class Ownership>
class BagCollection : public HostObject<Ownership, IoxSysPropertyBagCollection> {
public:
    ~BagCollection() override {
        for (IoxSysPropertyBag* bag : m_bags) {
            bag->Release();
        }
    }

    int32_t GetCount(uint32_t* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        std::lock_guard<std::mutex> hold(m_lock);
        *count = uint32_t(m_bags.size());
        return S_OK;
    }

    int32_t GetPropertyBag(uint32_t index, IoxSysPropertyBag** bag) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        std::lock_guard<std::mutex> hold(m_lock);
        if (index >= m_bags.size()) {
            *bag = nullptr;
            return E_FAIL;
        }
        *bag = m_bags[index];
        (*bag)->AddRef();
        return S_OK;
    }

    // No exception may reach the expert: the place is made before the bag
    // is kept.
    int32_t AddPropertyBag(IoxSysPropertyBag* bag) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_bags.size() >= m_refuseFrom) {
            return m_refusal;
        }
        try {
            m_bags.reserve(m_bags.size() + 1);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        bag->AddRef();
        m_bags.push_back(bag);
        return S_OK;
    }

    // From the bag of this 0-based index on, AddPropertyBag answers refusal.
    void refuseFrom(size_t index, int32_t refusal = E_FAIL) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_refuseFrom = index;
        m_refusal = refusal;
    }

    // The bags held, each still with the collection's reference.
    std::vector<IoxSysPropertyBag*> bags() {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_bags;
    }

protected:
    BagCollection() = default;

private:
    std::mutex m_lock;
    std::vector<IoxSysPropertyBag*> m_bags; // one reference each
    size_t m_refuseFrom = SIZE_MAX;
    int32_t m_refusal = E_FAIL;
};

// A collection made with new, with one reference for the caller.
class OwnedBagCollection final : public BagCollection<Owned> {
public:
    // May throw std::bad_alloc.
    static OwnedBagCollection* create() { return new OwnedBagCollection; }

private:
    OwnedBagCollection() = default;
};

// A collection in its owner's scope.
class StackBagCollection final : public BagCollection<OnStack> {};
