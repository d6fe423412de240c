// The locale that character classification falls back on.
#pragma once

#include <locale>

namespace kr::tarn::osdep {

// The environment's locale for all categories, built on the first call (the
// module's load-time initializer makes it); the "C" locale when the
// environment names one that the platform cannot build.
const std::locale& GetDefaultSystemLocale();

// The locale of that name, or the "C" locale when it cannot be built.
std::locale MakeLocaleOrClassic(const char* name);

} // namespace kr::tarn::osdep
