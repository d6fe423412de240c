// Validation, persistence and renaming. The items are read-only: every
// changed property of an existing item is rejected, and persistence and
// renaming are not supported.
#include "expert/CoxSysVyrex.h"

#include "contract/ComRef.h"
#include "objectmodel/Boundary.h"
#include "objectmodel/EnumOnSTL.h"
#include "tarn/Vector.h"

#include <memory>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

using RejectedTags = kr::tarn::Vector<uint32_t>;
using RejectedTagsEnumerator = CoxSysEnumPropertyTagsSTL<RejectedTags>;

} // namespace

// A bag that answers EnumChangedTags with no enumerator (as a bag without
// changes does) has nothing to reject: the result is an empty enumerator. A
// bag that fails the call passes its failure on.
//
// m_lock is held only to look the item up: the host's bag and enumerator
// are called without it, since a host thread may hold that bag's lock while
// it waits for m_lock in a search of its own.
int32_t CoxSysVyrex::ValidatePropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                             IoxSysEnumPropertyTag** tags, char16_t** text) {
    if (text != nullptr) {
        *text = nullptr; // no message text is ever produced
    }
    if (item == nullptr || changes == nullptr || tags == nullptr) {
        return E_POINTER;
    }
    return KRStatusOf([&] {
        if (!HasItemNamed(item)) {
            return OX_E_ITEM_NOT_FOUND;
        }
        IoxSysEnumPropertyTag* given = nullptr;
        const int32_t enumerated = changes->EnumChangedTags(&given);
        if (KR_FAILED(enumerated)) {
            return enumerated; // whatever it left behind is not ours to release
        }
        const ComRef<IoxSysEnumPropertyTag> changed(given);
        auto rejected = std::make_unique<RejectedTags>();
        uint32_t tag = 0;
        int32_t next = S_FALSE;
        while (changed && (next = changed->Next(1, &tag, nullptr)) == S_OK) {
            rejected->push_back(tag);
        }
        if (KR_FAILED(next)) {
            return next; // the host's enumerator failed: no partial answer
        }
        *tags = CreateOwningEnumerator<RejectedTagsEnumerator>(std::move(rejected));
        return S_OK;
    });
}

bool CoxSysVyrex::HasItemNamed(const char16_t* item) {
    const ItemName name(item);
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    return HasItem(name);
}

int32_t CoxSysVyrex::PersistPropertyChanges(const char16_t*, IoxSysPropertyBag2* changes,
                                            int32_t*) {
    return changes == nullptr ? E_POINTER : E_NOTIMPL;
}

int32_t CoxSysVyrex::RenameAlias(const char16_t*, const char16_t*, oxSysRenameValidationMode,
                                 int32_t*, char16_t**) {
    return E_NOTIMPL;
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
