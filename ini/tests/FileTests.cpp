// Reading files and streams: missing and unreadable files, read and seek
// errors, and the input function seams.
#include "IniTestSupport.h"

#include "ini/LineFile.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class Files : public ::testing::Test {
protected:
    std::string write(const char* name, const std::string& content) {
        return files.write(name, content);
    }
    TempDirectory files;
    const std::string directory = files.path();
};

TEST_F(Files, AFileIsReadByPath) {
    const std::string path =
        write("kr-rt.ini", "[VYREX]\r\nSystemapiExpertCameraListRefreshTimeInSec=9\r\n");
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadFile(file.get(), path.c_str()), 0);
    uint32_t seconds = 0;
    EXPECT_EQ(
        IniGetUnsigned(file.get(), "VYREX", "SystemapiExpertCameraListRefreshTimeInSec", &seconds),
        1);
    EXPECT_EQ(seconds, 9u);
}

TEST_F(Files, AMissingFileIsReported) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadFile(file.get(), (directory + "/absent.ini").c_str()), kIniStatusInvalid);
}

TEST_F(Files, AFileThatExistsButCannotBeOpened) {
    // A socket exists for stat but cannot be opened as a file, even by root.
    const std::string path = directory + "/socket.ini";
    const int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socketFd, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadFile(file.get(), path.c_str()), kIniStatusCannotOpen);
    close(socketFd);
}

TEST_F(Files, ADirectoryOpensButCannotBeRead) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadFile(file.get(), directory.c_str()), kIniStatusReadError);
}

TEST(Streams, AReadErrorKeepsWhatWasParsedBeforeIt) {
    std::string content = "[Early]\nx=1\n";
    while (content.size() < 3 * kLineFileBufferSize)
        content += "filler = some text to fill the stream\n";
    content += "[Late]\ny=2\n";
    FILE* stream = openFailingStream(content, 2 * kLineFileBufferSize);
    ASSERT_NE(stream, nullptr);
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadStream(file.get(), stream), kIniStatusReadError);
    fclose(stream);
    EXPECT_EQ(valueOf(file.get(), "Early", "x"), "1");
    EXPECT_EQ(IniSectionExists(file.get(), "Late"), 0);
}

TEST(Streams, AReadErrorAtTheStartIsReported) {
    FILE* stream = openFailingStream("[A]\nx=1\n", 0);
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadStream(file.get(), stream), kIniStatusReadError);
    fclose(stream);
}

TEST(Streams, AFailedSeekPassesItsResultOn) {
    FILE* stream = openFailingStream("[A]\nx=1\n", 100, true);
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadStream(file.get(), stream), -1);
    fclose(stream);
}

TEST(Streams, TheStreamIsReadFromItsStart) {
    std::string text = "\xEF\xBB\xBF[A]\nx=1\n";
    FILE* stream = fmemopen(text.data(), text.size(), "rb");
    fseek(stream, 5, SEEK_SET);
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadStream(file.get(), stream), 0);
    fclose(stream);
    EXPECT_EQ(valueOf(file.get(), "A", "x"), "1");
}

int32_t failingRead(FILE*, size_t, size_t* countRead, void*) {
    *countRead = 0;
    return kIniStatusReadError;
}

TEST(Streams, TheReadFunctionSeamReportsItsStatus) {
    LineFile* lineFile = LineFileCreate(nullptr);
    ASSERT_NE(lineFile, nullptr);
    lineFile->read = failingRead;
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniParse(file.get(), IniLineFileInputFunction, lineFile), kIniStatusReadError);
    LineFileDestroy(lineFile);
}

// Delivers one line of a text per call, the last one together with the end.
struct LinesInput {
    std::string text;
    size_t position = 0;
};

int32_t linesInput(void* context, char* buffer, size_t bufferSize, int32_t* endOfFile,
                   int32_t* endOfLine, uint32_t*) {
    LinesInput* input = static_cast<LinesInput*>(context);
    const size_t end = std::min(input->text.find('\n', input->position), input->text.size());
    const std::string line = input->text.substr(input->position, end - input->position);
    snprintf(buffer, bufferSize, "%s", line.c_str());
    input->position = std::min(end + 1, input->text.size());
    *endOfLine = input->position < input->text.size();
    *endOfFile = !*endOfLine;
    return 0;
}

TEST(Streams, AnyInputFunctionFeedsTheParser) {
    LinesInput input;
    input.text = "[A]\nkey=value\nlast=1";
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniParse(file.get(), linesInput, &input), 0);
    EXPECT_EQ(valueOf(file.get(), "A", "key"), "value");
    EXPECT_EQ(valueOf(file.get(), "A", "last"), "1");
}

int32_t brokenInput(void*, char*, size_t, int32_t*, int32_t*, uint32_t*) {
    return -5002;
}

TEST(Streams, AnInputFailureEndsTheParse) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniParse(file.get(), brokenInput, nullptr), kIniStatusReadError);
}

TEST(Streams, NullArgumentsAreRefused) {
    IniFilePtr file = makeIniFile();
    EXPECT_EQ(IniReadFile(file.get(), nullptr), kIniStatusInvalid);
    EXPECT_EQ(IniReadFile(nullptr, "/tmp"), kIniStatusInvalid);
    EXPECT_EQ(IniReadStream(file.get(), nullptr), kIniStatusInvalid);
    EXPECT_EQ(IniParse(file.get(), nullptr, nullptr), kIniStatusInvalid);
    EXPECT_EQ(IniCreate(1), nullptr) << "options other than 0 are refused";
    IniDestroy(nullptr);
}

} // namespace
