// The host's notification handler: rebuilds the inventory from the
// notifications alone, and traps on one that contradicts what it was told
// before (an item added while present, removed or changed while absent),
// on a call outside a pass, on kinds out of the order removed, changed,
// added, and on an empty or repeating list of names. Like a real host it
// calls back from the notification: it looks up some of the names it is
// told (an added or changed item must be found, a removed one must be
// gone) and registers itself again.
#pragma once

#include "contract/oxSysInterfaces.h"
#include "expert/fuzz/ItemKey.h"
#include "hostkit/HostObject.h"

#include <cstdint>
#include <string>
#include <vector>

namespace expertfuzz {

class NotifiedInventory final : public HostObject<OnStack, IoxSysFrameworkNotificationHandler> {
public:
    // everyTextConverts: no text is refused, so every item's bag can be filled.
    NotifiedInventory(IoxSysExpert2* expert, bool everyTextConverts)
        : m_expert(expert), m_everyTextConverts(everyTextConverts) {}
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

private:
    void lookUpWhileTold(oxSysItemChangeKind change, const std::u16string& name);
    void registerAgainWhileTold();

    struct KeptClone {
        IoxSysEnumStringList* clone;
        std::vector<std::u16string> names;
    };

    IoxSysExpert2* const m_expert;
    const bool m_everyTextConverts;
    bool m_inPass = false;
    int m_lastKindRank = -1;
    size_t m_calls = 0;
    ItemKeySet m_inventory;
    ItemKeySet m_everTold;
    std::vector<KeptClone> m_clones;
};

} // namespace expertfuzz
