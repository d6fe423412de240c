// Replays every input of the fuzz corpus through the fuzz target, so that an
// input that once crashed the reader keeps being checked.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(CorpusReplay, EveryInputIsReadWithoutFault) {
    size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(KR_INI_FUZZ_CORPUS)) {
        if (!item.is_regular_file())
            continue;
        std::ifstream input(item.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(input)),
                                         std::istreambuf_iterator<char>());
        SCOPED_TRACE(item.path().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++replayed;
    }
    EXPECT_GE(replayed, 5u) << "the corpus at " << KR_INI_FUZZ_CORPUS << " looks empty";
}

} // namespace
