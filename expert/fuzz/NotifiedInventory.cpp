#include "expert/fuzz/NotifiedInventory.h"

#include "contract/Status.h"
#include "expert/fuzz/PropertyReadback.h"
#include "expert/fuzz/Require.h"
#include "hostkit/Enumerators.h"

namespace expertfuzz {

namespace {

// Each notification looks up at most this many of its names.
constexpr size_t kLookupsPerCall = 4;

// A pass tells removed, then changed, then added.
int rankOf(oxSysItemChangeKind change) {
    switch (change) {
    case oxSysItemChangeKind_Removed:
        return 0;
    case oxSysItemChangeKind_Changed:
        return 1;
    case oxSysItemChangeKind_Added:
        return 2;
    }
    checkFailed("the change kind is one of the contract's", __FILE__, __LINE__);
}

} // namespace

int32_t NotifiedInventory::OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                                          IoxSysEnumStringList* names) {
    KR_FUZZ_REQUIRE(m_inPass && expert == m_expert && names != nullptr);
    const int rank = rankOf(change);
    KR_FUZZ_REQUIRE(rank > m_lastKindRank);
    m_lastKindRank = rank;
    ++m_calls;

    IoxSysEnumStringList* clone = nullptr;
    KR_FUZZ_REQUIRE(names->Clone(&clone) == S_OK && clone != nullptr);
    const std::vector<std::u16string> told =
        required(drainNames(names, 2), "the names enumerator keeps its contract");
    KR_FUZZ_REQUIRE(!told.empty());
    m_clones.push_back({clone, told});

    registerAgainWhileTold();
    for (size_t i = 0; i < told.size() && i < kLookupsPerCall; ++i) {
        lookUpWhileTold(change, told[i]);
    }

    ItemKeySet toldKeys;
    for (const std::u16string& name : told) {
        const ItemKey key = keyOf(name);
        KR_FUZZ_REQUIRE(toldKeys.insert(key).second);
        const bool present = m_inventory.count(key) != 0;
        switch (change) {
        case oxSysItemChangeKind_Added:
            KR_FUZZ_REQUIRE(!present);
            m_inventory.insert(key);
            m_everTold.insert(key);
            break;
        case oxSysItemChangeKind_Removed:
            KR_FUZZ_REQUIRE(present);
            m_inventory.erase(key);
            break;
        case oxSysItemChangeKind_Changed:
            KR_FUZZ_REQUIRE(present);
            break;
        }
    }
    return S_OK;
}

// The pass has already replaced the inventory when it tells what changed.
void NotifiedInventory::lookUpWhileTold(oxSysItemChangeKind change, const std::u16string& name) {
    IoxSysPropertyBag* bag = nullptr;
    const int32_t status = m_expert->GetPropertiesOfItem(name.c_str(), &bag);
    if (change == oxSysItemChangeKind_Removed) {
        KR_FUZZ_REQUIRE(status == OX_E_ITEM_NOT_FOUND && bag == nullptr);
    } else if (status == S_OK) {
        KR_FUZZ_REQUIRE(bag != nullptr && itemNameOf(bag) == name);
        bag->Release();
    } else {
        KR_FUZZ_REQUIRE(!m_everyTextConverts && status == E_FAIL && bag == nullptr);
    }
}

// Registering the handler being called keeps it registered and alive.
void NotifiedInventory::registerAgainWhileTold() {
    void* plugPlay = nullptr;
    KR_FUZZ_REQUIRE(m_expert->QueryInterface(IID_IoxSysExpertPlugPlay, &plugPlay) == S_OK);
    KR_FUZZ_REQUIRE(
        static_cast<IoxSysExpertPlugPlay*>(plugPlay)->RegisterNotificationCallback(this) == S_OK);
    static_cast<IoxSysExpertPlugPlay*>(plugPlay)->Release();
}

void NotifiedInventory::beginPass() {
    m_inPass = true;
    m_lastKindRank = -1;
}

void NotifiedInventory::endPass() {
    m_inPass = false;
    for (const KeptClone& kept : m_clones) {
        KR_FUZZ_REQUIRE(required(drainNames(kept.clone, 2), "the clone keeps its contract") ==
                        kept.names);
        kept.clone->Release();
    }
    m_clones.clear();
}

} // namespace expertfuzz
