// Test helpers: parsing from memory, failing streams, counting allocator.
#include "IniTestSupport.h"

#include "ini/IniAllocator.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

IniFilePtr makeIniFile(uint32_t parseFlags) {
    IniFilePtr file(IniCreate(0));
    if (file)
        IniSetParseFlags(file.get(), parseFlags);
    return file;
}

int32_t readText(IniFile* file, const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back('\0'); // fmemopen wants a buffer even for empty text
    FILE* stream = fmemopen(bytes.data(), text.size(), "rb");
    if (!stream)
        return -9999;
    const int32_t status = IniReadStream(file, stream);
    fclose(stream);
    return status;
}

std::string valueOf(IniFile* file, const char* section, const char* key) {
    const char* value = nullptr;
    if (IniGetString(file, section, key, &value) != kIniFound)
        return "<missing>";
    return value;
}

namespace {

struct FailingStream {
    std::string content;
    size_t failAt;
    bool failSeek;
    size_t position;
};

ssize_t failingRead(void* cookie, char* buffer, size_t size) {
    FailingStream* stream = static_cast<FailingStream*>(cookie);
    if (stream->position >= stream->failAt) {
        errno = EIO;
        return -1;
    }
    size_t count = std::min(size, stream->failAt - stream->position);
    count = std::min(count,
                     stream->content.size() - std::min(stream->position, stream->content.size()));
    memcpy(buffer, stream->content.data() + stream->position, count);
    stream->position += count;
    return ssize_t(count);
}

int failingSeek(void* cookie, off64_t* offset, int whence) {
    FailingStream* stream = static_cast<FailingStream*>(cookie);
    if (stream->failSeek || whence != SEEK_SET || *offset < 0) {
        errno = ESPIPE;
        return -1;
    }
    stream->position = size_t(*offset);
    return 0;
}

int failingClose(void* cookie) {
    delete static_cast<FailingStream*>(cookie);
    return 0;
}

size_t g_calls = 0;
size_t g_failAt = CountingAllocator::npos;
long g_liveBlocks = 0;
bool g_refused = false;

bool refuseThisCall() {
    const bool refuse = g_failAt != CountingAllocator::npos && g_calls >= g_failAt;
    ++g_calls;
    g_refused = g_refused || refuse;
    return refuse;
}

void* countingAllocate(size_t size) {
    if (refuseThisCall())
        return nullptr;
    void* block = malloc(size);
    if (block)
        ++g_liveBlocks;
    return block;
}

void* countingReallocate(void* block, size_t size) {
    if (refuseThisCall())
        return nullptr;
    void* grown = realloc(block, size);
    if (grown && !block)
        ++g_liveBlocks;
    return grown;
}

void countingRelease(void* block) {
    --g_liveBlocks;
    free(block);
}

} // namespace

FILE* openFailingStream(const std::string& content, size_t failAt, bool failSeek) {
    cookie_io_functions_t functions = {failingRead, nullptr, failingSeek, failingClose};
    return fopencookie(new FailingStream{content, failAt, failSeek, 0}, "rb", functions);
}

CountingAllocator::CountingAllocator(size_t failAt) {
    g_calls = 0;
    g_failAt = failAt;
    g_liveBlocks = 0;
    g_refused = false;
    const IniAllocator allocator = {countingAllocate, countingReallocate, countingRelease};
    IniSetAllocator(&allocator);
}

CountingAllocator::~CountingAllocator() {
    IniSetAllocator(nullptr);
}

size_t CountingAllocator::calls() const {
    return g_calls;
}
long CountingAllocator::liveBlocks() const {
    return g_liveBlocks;
}
bool CountingAllocator::refusedAny() const {
    return g_refused;
}
