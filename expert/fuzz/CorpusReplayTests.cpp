// The expert's seed corpus, replayed through the fuzz target.
#include "CorpusReplay.h"

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(ExpertCorpusReplay, EveryInputRunsWithoutFault) {
    replayCorpus(KR_EXPERT_FUZZ_CORPUS, LLVMFuzzerTestOneInput);
}

} // namespace
