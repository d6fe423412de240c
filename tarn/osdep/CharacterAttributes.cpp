#include "tarn/osdep/CharacterAttributes.h"

#include "tarn/InitOrder.h"

#include <stdexcept>

namespace kr::tarn::osdep {

namespace {

// Builds the default locale while the module is loaded.
struct DefaultLocaleInitializer {
    DefaultLocaleInitializer() { GetDefaultSystemLocale(); }
};

DefaultLocaleInitializer g_defaultLocaleInitializer
    __attribute__((init_priority(KR_INIT_ORDER_DEFAULT_LOCALE)));

} // namespace

std::locale MakeLocaleOrClassic(const char* name) {
    try {
        return std::locale(name);
    } catch (const std::runtime_error&) {
        return std::locale("C");
    }
}

const std::locale& GetDefaultSystemLocale() {
    static const std::locale defaultLocale = MakeLocaleOrClassic("");
    return defaultLocale;
}

} // namespace kr::tarn::osdep
