// Reading a file or stream: the byte-order mark, then the parser over line
// input from the stream.
#include "ini/IniObjects.h"
#include "ini/LineFile.h"

#include <sys/stat.h>

namespace {

constexpr long kUtf8MarkLength = 3;

// Where parsing starts (0, or 3 after a UTF-8 mark), or -3 for a UTF-16 or
// UTF-32 mark. `count` bytes of `lead` were read.
long textStart(const unsigned char* lead, size_t count) {
    if (count >= 4 && lead[0] == 0xFF && lead[1] == 0xFE && lead[2] == 0x00 && lead[3] == 0x00)
        return kIniStatusUnsupportedEncoding;
    if (count >= 4 && lead[0] == 0x00 && lead[1] == 0x00 && lead[2] == 0xFE && lead[3] == 0xFF)
        return kIniStatusUnsupportedEncoding;
    if (count >= 3 && lead[0] == 0xEF && lead[1] == 0xBB && lead[2] == 0xBF)
        return kUtf8MarkLength;
    if (count >= 2 && lead[0] == 0xFF && lead[1] == 0xFE)
        return kIniStatusUnsupportedEncoding;
    if (count >= 2 && lead[0] == 0xFE && lead[1] == 0xFF)
        return kIniStatusUnsupportedEncoding;
    return 0;
}

// fseek from the start; its negative result when it fails.
int32_t seekFromStart(FILE* stream, long offset) {
    const int result = fseek(stream, offset, SEEK_SET);
    if (result == 0)
        return kIniStatusOk;
    return result < 0 ? int32_t(result) : -1;
}

bool pathExists(const char* path) {
    struct stat status;
    return stat(path, &status) == 0;
}

} // namespace

int32_t IniReadStream(IniFile* file, FILE* stream) {
    if (!file || !stream)
        return kIniStatusInvalid;
    int32_t status = seekFromStart(stream, 0);
    if (status != kIniStatusOk)
        return status;
    unsigned char lead[4];
    const size_t count = fread(lead, 1, sizeof lead, stream);
    if (ferror(stream))
        return kIniStatusReadError;
    const long start = textStart(lead, count);
    if (start < 0)
        return int32_t(start);
    status = seekFromStart(stream, start);
    if (status != kIniStatusOk)
        return status;

    LineFile* lineFile = LineFileCreate(stream);
    if (!lineFile)
        return kIniStatusNoMemory;
    status = IniParse(file, IniLineFileInputFunction, lineFile);
    LineFileDestroy(lineFile);
    return status;
}

int32_t IniReadFile(IniFile* file, const char* path) {
    if (!file || !path)
        return kIniStatusInvalid;
    FILE* stream = fopen(path, "rb");
    if (!stream)
        return pathExists(path) ? kIniStatusCannotOpen : kIniStatusInvalid;
    const int32_t status = IniReadStream(file, stream);
    fclose(stream);
    return status;
}
