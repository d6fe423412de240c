#include "CorpusReplay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

size_t replayCorpus(const char* directory, FuzzEntry entry) {
    size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        if (!item.is_regular_file()) {
            continue;
        }
        std::ifstream input(item.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(input)),
                                         std::istreambuf_iterator<char>());
        SCOPED_TRACE(item.path().string());
        EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
        ++replayed;
    }
    EXPECT_GE(replayed, 5u) << "the corpus at " << directory << " looks empty";
    return replayed;
}
