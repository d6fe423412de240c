#include "tarn/osdep/RTSymbolLoader.h"

#include "kernel/sym.h"
#include "tarn/InitOrder.h"

namespace kr::tarn::osdep {

namespace {

// The value of a symbol of the kernel's table, or null when it has none.
void* findSymbol(const char* name) {
    char* value = nullptr;
    SYM_TYPE type = 0;
    if (symFindByName(sysSymTbl, name, &value, &type) != OK) {
        return nullptr;
    }
    return value;
}

template <typename Function>
Function findFunction(const char* name) {
    return reinterpret_cast<Function>(findSymbol(name));
}

// Fills the table while the module is loaded, before any other task can
// reach the loader; afterwards it is only read.
struct SingletonInitializer {
    SingletonInitializer() { RTSymbolLoader::instance(); }
    static SingletonInitializer g_initializer;
};

SingletonInitializer SingletonInitializer::g_initializer
    __attribute__((init_priority(KR_INIT_ORDER_SYMBOL_LOADER)));

} // namespace

const RTSymbolLoader& RTSymbolLoader::instance() {
    static const RTSymbolLoader loaderInstance;
    return loaderInstance;
}

RTSymbolLoader::RTSymbolLoader()
    : multiByteToWideChar(findFunction<MultiByteToWideCharFunction>("MultiByteToWideChar")),
      wideCharToMultiByte(findFunction<UncalledFunction>("WideCharToMultiByte")),
      enetGetNetworkDeviceCount(findFunction<UncalledFunction>("enetGetNetworkDeviceCount")),
      enetGetIPAddressByIndex(findFunction<UncalledFunction>("enetGetIPAddressByIndex")),
      enetGetMACAddressByIndex(findFunction<UncalledFunction>("enetGetMACAddressByIndex")) {}

} // namespace kr::tarn::osdep
