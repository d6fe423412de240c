// A program that exports its own MultiByteToWideChar, as a module loaded on
// the controller before ours would. The loader must find it at load time,
// and every conversion and size query must go through it.
#include "RaiseSite.h"

#include "tarn/StringBase.h"
#include "tarn/osdep/AnsiToWide.h"
#include "tarn/osdep/OSException.h"
#include "tarn/osdep/RTSymbolLoader.h"

#include "kernel/sym.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace {

// What the exported converter was last asked, and how it is to answer.
struct ConverterLog {
    int calls = 0;
    uint32_t codePage = 0xFFFFFFFFu;
    uint32_t flags = 0xFFFFFFFFu;
    int32_t sourceBytes = -1;
    bool hadDestination = false;
    int32_t room = -1;
};

ConverterLog g_log;
bool g_failConversions = false;      // size queries still succeed
bool g_claimMoreThanTheRoom = false; // answer room + 1 without writing it
int32_t g_unitsPerByte = 1;          // what a size query answers

// Each byte b becomes the fullwidth unit 0xFF00 + b, so its output cannot
// be mistaken for the built-in mapping's; '!' cannot be converted.
int32_t convert(const char* src, int32_t srcBytes, char16_t* dst, int32_t dstUnits) {
    if (dst == nullptr) {
        return srcBytes * g_unitsPerByte;
    }
    if (g_failConversions) {
        errno = EILSEQ;
        return 0;
    }
    if (g_claimMoreThanTheRoom) {
        return dstUnits + 1;
    }
    int32_t written = 0;
    for (; written < srcBytes && written < dstUnits; ++written) {
        if (src[written] == '!') {
            errno = EILSEQ;
            return 0;
        }
        dst[written] = char16_t(0xFF00u + static_cast<unsigned char>(src[written]));
    }
    return written;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int32_t
MultiByteToWideChar(uint32_t codePage, uint32_t flags, const char* src, int32_t srcBytes,
                    char16_t* dst, int32_t dstUnits) {
    g_log = ConverterLog{g_log.calls + 1, codePage, flags, srcBytes, dst != nullptr, dstUnits};
    return convert(src, srcBytes, dst, dstUnits);
}

namespace {

using namespace kr::tarn;
using namespace kr::tarn::osdep;
using kr::tarn::testing::RaiseLine;

class ExportedConverter : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = ConverterLog{};
        g_failConversions = false;
        g_claimMoreThanTheRoom = false;
        g_unitsPerByte = 1;
    }
};

std::u16string Text(const WideString& string) {
    return std::u16string(string.c_str(), string.length());
}

TEST_F(ExportedConverter, IsFoundByTheKernelSymbolTable) {
    char* value = nullptr;
    SYM_TYPE type = 0;
    ASSERT_EQ(OK, symFindByName(sysSymTbl, "MultiByteToWideChar", &value, &type));
    EXPECT_EQ(reinterpret_cast<char*>(&MultiByteToWideChar), value);
}

TEST_F(ExportedConverter, IsInTheLoaderTableFromLoadTimeOn) {
    const RTSymbolLoader& loader = RTSymbolLoader::instance();
    EXPECT_EQ(&MultiByteToWideChar, loader.multiByteToWideChar);
    EXPECT_EQ(nullptr, loader.wideCharToMultiByte);
    EXPECT_EQ(nullptr, loader.enetGetNetworkDeviceCount);
    EXPECT_EQ(nullptr, loader.enetGetIPAddressByIndex);
    EXPECT_EQ(nullptr, loader.enetGetMACAddressByIndex);
}

TEST_F(ExportedConverter, ConvertsWithCodePageFlagsAndRoom) {
    const char source[] = "cam";
    char16_t destination[8] = {};
    char16_t* end = destination + 8;
    // The locale name is not consulted on this path.
    EXPECT_EQ(3u, AnsiToWide(source, source + 3, "UTF-8", 1252, destination, end));
    EXPECT_EQ(destination + 3, end);
    EXPECT_EQ(u"\uFF63\uFF61\uFF6D", std::u16string(destination, 3));
    EXPECT_EQ(1, g_log.calls);
    EXPECT_EQ(1252u, g_log.codePage);
    EXPECT_EQ(0u, g_log.flags);
    EXPECT_EQ(3, g_log.sourceBytes);
    EXPECT_TRUE(g_log.hadDestination);
    EXPECT_EQ(8, g_log.room);
}

TEST_F(ExportedConverter, AnswersTheSizeQueryWithoutADestination) {
    const char source[] = "camera";
    g_unitsPerByte = 2;
    EXPECT_EQ(12u, AnsiToWideSize(source, source + 6, "", 7));
    EXPECT_EQ(1, g_log.calls);
    EXPECT_EQ(7u, g_log.codePage);
    EXPECT_FALSE(g_log.hadDestination);
    EXPECT_EQ(0, g_log.room);
    // An empty source asks nothing.
    EXPECT_EQ(0u, AnsiToWideSize(source, source, "", 7));
    EXPECT_EQ(1, g_log.calls);
}

TEST_F(ExportedConverter, BuildsEveryWideStringFromNarrowText) {
    const WideString name("GigE");
    EXPECT_EQ(u"\uFF47\uFF69\uFF67\uFF45", Text(name));
    EXPECT_EQ(2, g_log.calls); // the size, then the conversion
    EXPECT_EQ(0u, g_log.codePage);

    // A converter that writes fewer units than it asked room for.
    g_unitsPerByte = 3;
    const WideString shorter("ab");
    EXPECT_EQ(u"\uFF61\uFF62", Text(shorter));
    EXPECT_EQ(u'\0', shorter.c_str()[2]);
}

TEST_F(ExportedConverter, ItsFailureIsAPosixErrorWithItsErrno) {
    const char source[] = "no!";
    char16_t destination[4];
    char16_t* end = destination + 4;
    try {
        AnsiToWide(source, source + 3, "", 0, destination, end);
        FAIL() << "the converter's failure was not reported";
    } catch (const PosixError& error) {
        EXPECT_EQ(EILSEQ, error.whatcode());
        EXPECT_EQ(42, error.getErrorCode());
        EXPECT_STREQ("tarn/osdep/AnsiToWide.cpp", error.getFile());
        EXPECT_NE(std::string::npos, RaiseLine(error).find("throw "));
    }
    EXPECT_EQ(destination + 4, end);
}

TEST_F(ExportedConverter, AFailedConversionReleasesTheStringsBlock) {
    // The size query succeeds, so the block is allocated before the
    // conversion fails; the leak checker sees whether it is released.
    g_failConversions = true;
    EXPECT_THROW(WideString("camera"), PosixError);
    EXPECT_THROW(WideString("camera", 6), PosixError);
    EXPECT_EQ(4, g_log.calls);
}

TEST_F(ExportedConverter, AConverterThatOverrunsItsRoomIsNotBelieved) {
    g_claimMoreThanTheRoom = true;
    const char source[] = "ab";
    char16_t destination[2];
    char16_t* end = destination + 2;
    EXPECT_THROW(AnsiToWide(source, source + 2, "", 0, destination, end),
                 exception::BufferOverflow);
    EXPECT_EQ(destination + 2, end);
    EXPECT_THROW(WideString("ab"), exception::BufferOverflow);
}

} // namespace
