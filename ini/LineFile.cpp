// Line input over a stream: one line per call, any line end convention,
// lines of any length delivered in pieces that fit the caller's buffer.
#include "ini/LineFile.h"

#include "ini/IniAllocator.h"
#include "ini/IniStatus.h"

#include <cstring>

namespace {

bool isLineTerminator(char byte) {
    return byte == '\r' || byte == '\n' || byte == '\0';
}

int32_t lineFileRefill(LineFile* lineFile) {
    size_t countRead = 0;
    const int32_t status =
        lineFile->read(lineFile->stream, sizeof lineFile->buffer, &countRead, lineFile->buffer);
    if (status < 0)
        return status;
    lineFile->bytesLeft = countRead < sizeof lineFile->buffer ? countRead : sizeof lineFile->buffer;
    lineFile->readPosition = 0;
    return kIniStatusOk;
}

char lineFileTake(LineFile* lineFile) {
    --lineFile->bytesLeft;
    return lineFile->buffer[lineFile->readPosition++];
}

// Copies the ordinary bytes from the read position up to the next line end,
// the end of the read buffer or `room` bytes, whichever comes first; at least
// the one byte at the read position. Returns how many.
size_t lineFileCopyRun(LineFile* lineFile, char* out, size_t room) {
    const char* run = lineFile->buffer + lineFile->readPosition;
    const size_t limit = lineFile->bytesLeft < room ? lineFile->bytesLeft : room;
    size_t length = 1;
    while (length < limit && !isLineTerminator(run[length]))
        ++length;
    memcpy(out, run, length);
    lineFile->readPosition += length;
    lineFile->bytesLeft -= length;
    return length;
}

} // namespace

LineFile* LineFileCreate(FILE* stream) {
    LineFile* lineFile = static_cast<LineFile*>(IniAllocate(sizeof(LineFile)));
    if (!lineFile)
        return nullptr;
    lineFile->stream = stream;
    lineFile->read = LineFileReadFromFile;
    lineFile->bytesLeft = 0;
    lineFile->readPosition = 0;
    lineFile->lineCounter = 0;
    lineFile->previousTerminator = '\0';
    return lineFile;
}

void LineFileDestroy(LineFile* lineFile) {
    IniRelease(lineFile);
}

int32_t LineFileReadFromFile(FILE* stream, size_t byteCount, size_t* countRead, void* buffer) {
    *countRead = fread(buffer, 1, byteCount, stream);
    return ferror(stream) ? kIniStatusReadError : kIniStatusOk;
}

int32_t IniLineFileInputFunction(void* context, char* buffer, size_t bufferSize, int32_t* endOfFile,
                                 int32_t* endOfLine, uint32_t* lineNumber) {
    LineFile* lineFile = static_cast<LineFile*>(context);
    *endOfFile = 0;
    *endOfLine = 0;
    // One byte of the buffer is kept for the terminating zero.
    const size_t room = bufferSize > 0 ? bufferSize - 1 : 0;
    size_t stored = 0;
    bool firstExamined = true;

    for (;;) {
        if (lineFile->bytesLeft == 0) {
            const int32_t status = lineFileRefill(lineFile);
            if (status < 0) {
                if (bufferSize > 0)
                    buffer[stored] = '\0';
                return status;
            }
            if (lineFile->bytesLeft == 0) {
                if (stored > 0) {
                    *endOfLine = 1;
                    ++lineFile->lineCounter;
                } else {
                    *endOfFile = 1;
                }
                break;
            }
        }
        const char byte = lineFile->buffer[lineFile->readPosition];
        if (isLineTerminator(byte)) {
            lineFileTake(lineFile);
            if (firstExamined && byte != lineFile->previousTerminator) {
                // The second half of a CR LF or LF CR pair.
                firstExamined = false;
                continue;
            }
            lineFile->previousTerminator = byte;
            *endOfLine = 1;
            ++lineFile->lineCounter;
            break;
        }
        if (stored == room)
            break; // full: the caller continues the line in a larger buffer
        stored += lineFileCopyRun(lineFile, buffer + stored, room - stored);
        firstExamined = false;
    }

    if (bufferSize > 0)
        buffer[stored] = '\0';
    if (lineNumber)
        *lineNumber = *endOfLine ? lineFile->lineCounter : lineFile->lineCounter + 1;
    return kIniStatusOk;
}
