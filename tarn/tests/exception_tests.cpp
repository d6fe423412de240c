// The exception hierarchy: fixed texts and codes, operating-system errors,
// and the raise sites that thrown objects name.
#include "RaiseSite.h"

#include "tarn/AbsTimeToString.h"
#include "tarn/Exception.h"
#include "tarn/NumericCast.h"
#include "tarn/SafeInteger.h"
#include "tarn/StringBase.h"
#include "tarn/osdep/AnsiToWide.h"
#include "tarn/osdep/OSException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace kr::tarn;
using kr::tarn::testing::RaiseLine;
using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(FixedTextExceptions, AnswerWithTheirTextAndCode) {
    struct Expected {
        const exception::Exception& raised;
        const char* text;
        int32_t code;
    };
    const exception::Exception root;
    const exception::OutOfRange outOfRange;
    const exception::BufferOverflow bufferOverflow;
    const exception::InvalidArgument invalidArgument;
    const exception::InvalidSequence invalidSequence;
    const exception::InvalidLocale invalidLocale;
    const Expected table[] = {
        {root, "unspecified exception", -1},
        {outOfRange, "Out of range", -1967362041},
        {bufferOverflow, "Buffer overflowed", -1967362025},
        {invalidArgument, "Invalid argument(s)", -1967362033},
        {invalidSequence, "Invalid UTF8 encoding sequence", -1967362000},
        {invalidLocale, "Invalid locale", -1967362012},
    };
    for (const Expected& expected : table) {
        const std::exception& asStandard = expected.raised;
        EXPECT_STREQ(expected.text, asStandard.what());
        EXPECT_EQ(expected.code, expected.raised.getErrorCode()) << expected.text;
        EXPECT_EQ(0u, expected.raised.getLine()) << expected.text;
        EXPECT_EQ(nullptr, expected.raised.getFile()) << expected.text;
    }
    EXPECT_EQ(int32_t(0x8ABC7007), outOfRange.getErrorCode());
}

TEST(FixedTextExceptions, KeepTheirRaiseSiteWhenCopiedAndCaughtAsTheRoot) {
    try {
        throw exception::InvalidLocale("tarn/osdep/AnsiToWide.cpp", 77);
    } catch (const exception::Exception& caught) {
        const exception::Exception copy = caught; // sliced on purpose: the fields stay
        EXPECT_EQ(77u, copy.getLine());
        EXPECT_STREQ("tarn/osdep/AnsiToWide.cpp", copy.getFile());
        EXPECT_STREQ("Invalid locale", caught.what());
    }
}

TEST(OSErrors, OSExceptionCopiesItsMessage) {
    char message[] = "device gone";
    const osdep::OSException error(message, 19);
    std::strcpy(message, "overwritten");
    EXPECT_STREQ("device gone", error.what());
    EXPECT_EQ(42, error.getErrorCode());
    EXPECT_EQ(19, error.whatcode());
    EXPECT_EQ(0u, error.getLine());
    EXPECT_EQ(nullptr, error.getFile());

    const osdep::OSException nullMessage(nullptr, 1);
    EXPECT_STREQ("", nullMessage.what());
}

TEST(OSErrors, PosixErrorMapsErrnoToItsCode) {
    struct Case {
        int error;
        int32_t code;
    };
    for (const Case c : {Case{0, 0}, Case{ENOENT, 7}, Case{EACCES, 42}, Case{EILSEQ, 42}}) {
        errno = c.error;
        const osdep::PosixError error;
        EXPECT_EQ(c.code, error.getErrorCode()) << "errno " << c.error;
        EXPECT_EQ(c.error, error.whatcode());
        EXPECT_EQ(std::string(std::strerror(c.error)), error.what()) << "errno " << c.error;
    }
}

TEST(OSErrors, PosixErrorCopiesAreDeepAndCaughtThroughTheHierarchy) {
    errno = ENOENT;
    try {
        throw osdep::PosixError("tarn/osdep/AnsiToWide.cpp", 12);
    } catch (const exception::Exception& caught) {
        const auto& posix = dynamic_cast<const osdep::PosixError&>(caught);
        const osdep::PosixError copy = posix;
        EXPECT_NE(copy.what(), posix.what());
        EXPECT_STREQ(posix.what(), copy.what());
        EXPECT_EQ(7, copy.getErrorCode());
        EXPECT_EQ(ENOENT, copy.whatcode());
        EXPECT_EQ(12u, copy.getLine());
    }
}

// Runs raise and returns what it threw, for a look at its raise site.
template <typename Raised>
Raised CaughtFrom(const std::function<void()>& raise) {
    try {
        raise();
    } catch (const Raised& caught) {
        return caught;
    }
    ADD_FAILURE() << "nothing was thrown";
    return Raised();
}

void ExpectRaisedAt(const exception::Exception& raised, const char* file) {
    ASSERT_NE(nullptr, raised.getFile());
    EXPECT_STREQ(file, raised.getFile());
    EXPECT_THAT(RaiseLine(raised), HasSubstr("throw ")) << file << ":" << raised.getLine();
}

TEST(RaiseSites, CheckedArithmeticNamesItsOwnSource) {
    ExpectRaisedAt(CaughtFrom<exception::OutOfRange>([] { SafeInteger(0xFFFFFFFFu) + 1u; }),
                   "tarn/SafeInteger.h");
    ExpectRaisedAt(CaughtFrom<exception::OutOfRange>([] { SafeInteger(0x80000000u) * 2u; }),
                   "tarn/SafeInteger.h");
    ExpectRaisedAt(CaughtFrom<exception::OutOfRange>([] { NumericCast<uint32_t>(int32_t(-1)); }),
                   "tarn/NumericCast.h");
    ExpectRaisedAt(
        CaughtFrom<exception::OutOfRange>([] { NumericCast<uint32_t>(uint64_t(1) << 32); }),
        "tarn/NumericCast.h");
}

TEST(RaiseSites, StringsConversionAndTimeNameTheirSources) {
    ExpectRaisedAt(CaughtFrom<exception::InvalidArgument>(
                       [] { WideString(static_cast<const char16_t*>(nullptr), 2); }),
                   "tarn/StringBase.h");

    const char source[] = "abc";
    char16_t destination[3];
    ExpectRaisedAt(CaughtFrom<exception::InvalidLocale>([&] {
                       char16_t* end = destination + 3;
                       osdep::AnsiToWide(source, source + 3, "UTF-8", 0, destination, end);
                   }),
                   "tarn/osdep/AnsiToWide.cpp");
    ExpectRaisedAt(CaughtFrom<osdep::PosixError>([&] {
                       char16_t* end = destination + 2;
                       osdep::AnsiToWide(source, source + 3, "", 0, destination, end);
                   }),
                   "tarn/osdep/AnsiToWide.cpp");

    ExpectRaisedAt(CaughtFrom<exception::OutOfRange>([] {
                       std::tm out{};
                       AbsTimeToLocalTime(AbsTime::max, true, out);
                   }),
                   "tarn/AbsTimeToString.cpp");
}

} // namespace
