// Line input over an open stream, for IniParse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads up to byteCount bytes of stream into buffer and stores how many in
// *countRead. Returns 0, or -5002 when the stream reports a read error.
typedef int32_t (*LineFileReadFunction)(FILE* stream, size_t byteCount, size_t* countRead,
                                        void* buffer);

constexpr size_t kLineFileBufferSize = 2084;

struct LineFile {
    FILE* stream;
    LineFileReadFunction read; // LineFileReadFromFile; tests may put another here
    char buffer[kLineFileBufferSize];
    size_t bytesLeft;        // unread bytes in buffer
    size_t readPosition;     // index of the first unread byte
    uint32_t lineCounter;    // lines ended so far
    char previousTerminator; // the byte that ended the previous line; 0 at first
};

// Returns a new line input context over stream, reading with
// LineFileReadFromFile, or null when memory is short.
LineFile* LineFileCreate(FILE* stream);

// Frees the context; the stream stays open. Null is accepted.
void LineFileDestroy(LineFile* lineFile);

// The read function for streams: fread, then ferror.
int32_t LineFileReadFromFile(FILE* stream, size_t byteCount, size_t* countRead, void* buffer);

// The IniLineInputFunction over a LineFile (context). CR, LF and the zero
// byte end a line; CR LF and LF CR count as one line end, so files with
// either convention, or a mix, read the same. A CR or LF as the very first
// byte of the input is skipped. Returns 0, or the read function's negative
// status.
int32_t IniLineFileInputFunction(void* context, char* buffer, size_t bufferSize, int32_t* endOfFile,
                                 int32_t* endOfLine, uint32_t* lineNumber);
