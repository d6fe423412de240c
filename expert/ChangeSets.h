// What one refresh pass tells the host's handler.
#pragma once

#include "expert/CoxSysVyrex.h"

#include "contract/ComRef.h"

#include <cstddef>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// What one pass tells the handler, in the order it is told: every
// enumerator is made before the pass is committed, so telling it needs no
// memory and cannot lose a change.
struct CoxSysVyrex::ChangeSets {
    static constexpr size_t kKinds = 3;
    static constexpr oxSysItemChangeKind kOrder[kKinds] = {
        oxSysItemChangeKind_Removed, oxSysItemChangeKind_Changed, oxSysItemChangeKind_Added};

    void clear() {
        for (ComRef<IoxSysEnumStringList>& names : inOrder) {
            names.reset();
        }
    }

    bool empty() const { return !inOrder[0] && !inOrder[1] && !inOrder[2]; }

    ComRef<IoxSysEnumStringList> inOrder[kKinds]; // null where nothing is to be told
};

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
