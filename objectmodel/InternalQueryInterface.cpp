#include "objectmodel/ComObject.h"

#include <cstring>

namespace {

uint32_t bigEndianWord(const _GUID& iid, int index) {
    unsigned char bytes[sizeof(_GUID)];
    std::memcpy(bytes, &iid, sizeof bytes);
    const unsigned char* w = bytes + 4 * index;
    return (uint32_t(w[0]) << 24) | (uint32_t(w[1]) << 16) | (uint32_t(w[2]) << 8) | w[3];
}

void* interfaceAt(void* object, uintptr_t offset) {
    return static_cast<unsigned char*>(object) + offset;
}

int32_t handOut(void* object, uintptr_t offset, void** ppv) {
    void* itf = interfaceAt(object, offset);
    static_cast<IUnknown*>(itf)->AddRef();
    *ppv = itf;
    return S_OK;
}

} // namespace

bool KRIsIUnknown(const _GUID& iid) {
    const uint32_t third = bigEndianWord(iid, 2);
    return bigEndianWord(iid, 0) == 0 && bigEndianWord(iid, 1) == 0 &&
           (third == 0xC0000000 || third == 0x00C00000) && bigEndianWord(iid, 3) == 0x46;
}

int32_t InternalQueryInterface(void* object, const KRInterfaceMapEntry* entries, const _GUID& iid,
                               void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (KRIsIUnknown(iid)) {
        return handOut(object, entries[0].offset, ppv);
    }
    for (const KRInterfaceMapEntry* entry = entries; entry->handler != kKRMapEnd; ++entry) {
        const bool blind = entry->interfaceId == nullptr;
        if (!blind && !IsEqualGUID(*entry->interfaceId, iid)) {
            continue;
        }
        if (entry->handler == kKRMapPlainOffset) {
            return handOut(object, entry->offset, ppv);
        }
        const auto function = reinterpret_cast<KRInterfaceMapFunction>(entry->handler);
        const int32_t status = function(object, iid, ppv, entry->offset);
        if (status == S_OK || (KR_FAILED(status) && !blind)) {
            return status;
        }
    }
    return E_NOINTERFACE;
}
