// Narrow-to-wide conversion in a program that exports no optional function:
// the loader finds nothing and the built-in byte mapping does the work.
#include "tarn/Exception.h"
#include "tarn/osdep/AnsiToWide.h"
#include "tarn/osdep/CharacterAttributes.h"
#include "tarn/osdep/OSException.h"
#include "tarn/osdep/RTSymbolLoader.h"

#include "kernel/sym.h"

#include "Poison.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

using namespace kr::tarn;
using namespace kr::tarn::osdep;

TEST(SymbolLoaderWithoutOptionalFunctions, HoldsFiveNullPointers) {
    const RTSymbolLoader& loader = RTSymbolLoader::instance();
    EXPECT_EQ(&loader, &RTSymbolLoader::instance());
    EXPECT_EQ(nullptr, loader.multiByteToWideChar);
    EXPECT_EQ(nullptr, loader.wideCharToMultiByte);
    EXPECT_EQ(nullptr, loader.enetGetNetworkDeviceCount);
    EXPECT_EQ(nullptr, loader.enetGetIPAddressByIndex);
    EXPECT_EQ(nullptr, loader.enetGetMACAddressByIndex);
}

TEST(KernelSymbolTable, FindsWhatTheProcessExportsAndNothingElse) {
    char* value = nullptr;
    SYM_TYPE type = 0;
    EXPECT_EQ(OK, symFindByName(sysSymTbl, "malloc", &value, &type));
    EXPECT_NE(nullptr, value);
    EXPECT_EQ(SYM_GLOBAL, type);

    char* untouched = reinterpret_cast<char*>(&type);
    EXPECT_EQ(ERROR, symFindByName(sysSymTbl, "MultiByteToWideChar", &untouched, &type));
    EXPECT_EQ(reinterpret_cast<char*>(&type), untouched);
    EXPECT_EQ(ERROR, symFindByName(nullptr, "malloc", &value, &type));
    EXPECT_EQ(ERROR, symFindByName(sysSymTbl, nullptr, &value, &type));
    EXPECT_EQ(ERROR, symFindByName(sysSymTbl, "malloc", nullptr, &type));
    EXPECT_EQ(OK, symFindByName(sysSymTbl, "malloc", &value, nullptr));
}

TEST(BuiltInConversion, MapsEveryByteToTheUnitOfItsValue) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(char(b));
    }
    std::u16string units(256, kPoisonUnit);
    char16_t* end = &units[0] + units.size();
    EXPECT_EQ(256u, AnsiToWide(bytes.data(), bytes.data() + bytes.size(), "", 0, &units[0], end));
    EXPECT_EQ(&units[0] + 256, end);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(char16_t(b), units[b]) << "byte " << b;
    }
    EXPECT_EQ(256u, AnsiToWideSize(bytes.data(), bytes.data() + bytes.size(), "", 0));
}

TEST(BuiltInConversion, EmptySourceWritesNothing) {
    const char source[] = "abc";
    char16_t destination[2] = {kPoisonUnit, kPoisonUnit};
    char16_t* end = destination + 2;
    // Even a locale that the built-in mapping does not know: nothing is converted.
    EXPECT_EQ(0u, AnsiToWide(source, source, "UTF-8", 0, destination, end));
    EXPECT_EQ(destination, end);
    EXPECT_EQ(kPoisonUnit, destination[0]);
    EXPECT_EQ(0u, AnsiToWideSize(source, source, "", 0));
}

TEST(BuiltInConversion, AcceptsOnlyTheDefaultAndAsciiLocales) {
    const char source[] = "ok";
    for (const char* accepted : {static_cast<const char*>(nullptr), "", "US-ASCII"}) {
        char16_t destination[2] = {};
        char16_t* end = destination + 2;
        EXPECT_EQ(2u, AnsiToWide(source, source + 2, accepted, 0, destination, end));
        EXPECT_EQ(u'k', destination[1]);
    }
    for (const char* refused : {"UTF-8", "us-ascii", "C", "US-ASCII "}) {
        char16_t destination[2] = {kPoisonUnit, kPoisonUnit};
        char16_t* end = destination + 2;
        EXPECT_THROW(AnsiToWide(source, source + 2, refused, 0, destination, end),
                     exception::InvalidLocale)
            << refused;
        EXPECT_EQ(destination + 2, end);
        EXPECT_EQ(kPoisonUnit, destination[0]);
    }
}

TEST(BuiltInConversion, TooSmallADestinationIsAnErrorBeforeAnyWrite) {
    const char source[] = "camera";
    char16_t destination[6] = {kPoisonUnit, kPoisonUnit, kPoisonUnit,
                               kPoisonUnit, kPoisonUnit, kPoisonUnit};
    char16_t* end = destination + 5;
    errno = 0;
    try {
        AnsiToWide(source, source + 6, "", 0, destination, end);
        FAIL() << "a full destination was not reported";
    } catch (const PosixError& error) {
        EXPECT_EQ(E2BIG, error.whatcode());
        EXPECT_EQ(42, error.getErrorCode());
    }
    EXPECT_EQ(destination + 5, end);
    EXPECT_EQ(kPoisonUnit, destination[0]);
}

TEST(DefaultSystemLocale, IsBuiltOnceAndFallsBackToC) {
    EXPECT_EQ(&GetDefaultSystemLocale(), &GetDefaultSystemLocale());
    EXPECT_EQ("C", MakeLocaleOrClassic("no-such-locale.NOPE").name());
    EXPECT_EQ("C", MakeLocaleOrClassic("C").name());
}

} // namespace
