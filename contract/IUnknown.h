// The root of every component interface: interface lookup and reference
// counting. Objects are reached only through interface pointers and delete
// themselves on their last Release, so interfaces have no public destructor.
#pragma once

#include "contract/Guid.h"

#include <cstdint>

class IUnknown {
public:
    virtual int32_t QueryInterface(const _GUID& iid, void** ppv) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

inline constexpr _GUID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
