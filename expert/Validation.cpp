// Validation, persistence and renaming. The items are read-only: every
// changed property of an existing item is rejected, and persistence and
// renaming are not supported.
#include "expert/CoxSysVyrex.h"

#include "objectmodel/Boundary.h"
#include "objectmodel/EnumOnSTL.h"
#include "tarn/Vector.h"

#include <memory>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

using RejectedTags = kr::tarn::Vector<uint32_t>;
using RejectedTagsEnumerator = CoxSysEnumPropertyTagsSTL<RejectedTags>;

// The host's changed-tag enumerator, released on every way out.
class ChangedTags {
public:
    ~ChangedTags() {
        if (enumerator != nullptr) {
            enumerator->Release();
        }
    }
    IoxSysEnumPropertyTag* enumerator = nullptr;
};

} // namespace

// A bag that answers EnumChangedTags with no enumerator (as a bag without
// changes does) has nothing to reject: the result is an empty enumerator. A
// bag that fails the call passes its failure on.
int32_t CoxSysVyrex::ValidatePropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                             IoxSysEnumPropertyTag** tags, char16_t** text) {
    if (text != nullptr) {
        *text = nullptr; // no message text is ever produced
    }
    if (item == nullptr || changes == nullptr || tags == nullptr) {
        return E_POINTER;
    }
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    return KRStatusOf([&] {
        if (!HasItem(ItemName(item))) {
            return OX_E_ITEM_NOT_FOUND;
        }
        ChangedTags changed;
        const int32_t enumerated = changes->EnumChangedTags(&changed.enumerator);
        if (KR_FAILED(enumerated)) {
            changed.enumerator = nullptr; // not ours to release
            return enumerated;
        }
        auto rejected = std::make_unique<RejectedTags>();
        uint32_t tag = 0;
        int32_t next = S_FALSE;
        while (changed.enumerator != nullptr &&
               (next = changed.enumerator->Next(1, &tag, nullptr)) == S_OK) {
            rejected->push_back(tag);
        }
        if (KR_FAILED(next)) {
            return next; // the host's enumerator failed: no partial answer
        }
        *tags = CreateOwningEnumerator<RejectedTagsEnumerator>(std::move(rejected));
        return S_OK;
    });
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
