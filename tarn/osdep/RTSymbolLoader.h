// Optional functions that other modules may have loaded on the controller.
// The module does not link against them: the loader looks each one up by
// name in the kernel's symbol table once, when the module is loaded, and
// keeps a null pointer for every function that is absent. Callers test the
// pointer and use their built-in path when it is null.
#pragma once

#include <cstdint>

namespace kr::tarn::osdep {

// Converts srcBytes bytes of narrow text into at most dstUnits 16-bit units
// and returns the number written; with a null dst and dstUnits 0 returns the
// number needed. 0 means failure, with the reason in errno.
using MultiByteToWideCharFunction = int32_t (*)(uint32_t codePage, uint32_t flags, const char* src,
                                                int32_t srcBytes, char16_t* dst, int32_t dstUnits);

// Functions that are looked up but never called: only their presence is kept.
using UncalledFunction = void (*)();

class RTSymbolLoader {
public:
    // The one loader, built on the first call (the module's load-time
    // initializer makes that call before any text conversion can run).
    static const RTSymbolLoader& instance();

    MultiByteToWideCharFunction multiByteToWideChar = nullptr;
    UncalledFunction wideCharToMultiByte = nullptr;
    UncalledFunction enetGetNetworkDeviceCount = nullptr;
    UncalledFunction enetGetIPAddressByIndex = nullptr;
    UncalledFunction enetGetMACAddressByIndex = nullptr;

private:
    RTSymbolLoader();
};

} // namespace kr::tarn::osdep
