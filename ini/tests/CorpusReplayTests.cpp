// The INI reader's fuzz corpus, replayed through the fuzz target.
#include "CorpusReplay.h"

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(CorpusReplay, EveryInputIsReadWithoutFault) {
    replayCorpus(KR_INI_FUZZ_CORPUS, LLVMFuzzerTestOneInput);
}

} // namespace
