// The host's notification handler: rebuilds the inventory from the
// notifications alone, and traps on one that contradicts what it was told
// before (an item added while present, removed or changed while absent),
// on a call outside a pass, on kinds out of the order removed, changed,
// added, and on an empty or repeating list of names. Like a real host it
// calls back from the notification: it looks up some of the names it is
// told (an added or changed item must be found, a removed one must be
// gone) and registers itself again.
#pragma once

#include "expert/fuzz/ItemKey.h"
#include "contract/oxSysInterfaces.h"

#include <cstdint>
#include <string>
#include <vector>

namespace expertfuzz {

class NotifiedInventory final : public IoxSysFrameworkNotificationHandler {
public:
    // everyTextConverts: no text is refused, so every item's bag can be filled.
    NotifiedInventory(IoxSysExpert2* expert, bool everyTextConverts)
        : m_expert(expert), m_everyTextConverts(everyTextConverts) {}
    NotifiedInventory(const NotifiedInventory&) = delete;
    NotifiedInventory& operator=(const NotifiedInventory&) = delete;

    int32_t QueryInterface(const _GUID& iid, void** ppv) override;
    uint32_t AddRef() override { return ++m_references; }
    uint32_t Release() override { return --m_references; }
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override;

    // Calls are expected between these two. endPass also checks that a
    // clone of each enumerator, taken during its call and kept after the
    // expert let go of the enumerator, still tells the same names.
    void beginPass();
    void endPass();

    const ItemKeySet& inventory() const { return m_inventory; }
    // Every name ever told, present or not.
    const ItemKeySet& everTold() const { return m_everTold; }
    size_t calls() const { return m_calls; }
    // The handler's own reference is one of them.
    uint32_t references() const { return m_references; }

private:
    void lookUpWhileTold(oxSysItemChangeKind change, const std::u16string& name);
    void registerAgainWhileTold();

    struct KeptClone {
        IoxSysEnumStringList* clone;
        std::vector<std::u16string> names;
    };

    IoxSysExpert2* const m_expert;
    const bool m_everyTextConverts;
    uint32_t m_references = 1;
    bool m_inPass = false;
    int m_lastKindRank = -1;
    size_t m_calls = 0;
    ItemKeySet m_inventory;
    ItemKeySet m_everTold;
    std::vector<KeptClone> m_clones;
};

} // namespace expertfuzz
