// Match copies of every shape: repeats at short distances (overlapping the
// bytes they produce), at distances just above and below the word size, long
// matches, and repeats that reach back across the wrap of a small window.

#include <gtest/gtest.h>

#include <random>

#include "oru_test_support.h"

namespace kaviro::oru::testing {
namespace {

// Random bytes interleaved with copies of earlier bytes at the given
// distances and lengths, so the encoder has exactly those matches to find.
Bytes RepeatsAtDistances(uint32_t seed, const std::vector<uint32_t>& distances, const std::vector<uint32_t>& lengths,
                         size_t rounds) {
    std::mt19937 random(seed);
    Bytes data;
    for (size_t round = 0; round < rounds; ++round) {
        for (const uint32_t distance : distances) {
            for (const uint32_t length : lengths) {
                for (int i = 0; i < 24; ++i) {
                    data.push_back(static_cast<uint8_t>(random()));
                }
                const size_t from = data.size() - std::min<size_t>(distance, data.size());
                for (uint32_t i = 0; i < length; ++i) {
                    data.push_back(data[from + i]);  // may read bytes this copy appended
                }
            }
        }
    }
    return data;
}

TEST(MatchCopies, EveryDistanceAndLengthDecodesExactly) {
    std::vector<uint32_t> shortDistances;
    for (uint32_t distance = 1; distance <= 20; ++distance) {
        shortDistances.push_back(distance);
    }
    const std::vector<uint32_t> lengths = {2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 31, 64, 273, 300};
    struct CopyCase {
        const char* name;
        Bytes data;
        const char* switches;
    };
    const CopyCase cases[] = {
        {"short_distances", RepeatsAtDistances(1, shortDistances, lengths, 2), "-m0=LZMA2 -mx9"},
        {"far_distances", RepeatsAtDistances(2, {100, 4096, 40000, 60000}, lengths, 3), "-m0=LZMA -mx9"},
        // Far repeats in a 64 KiB window: sources lie before the wrap point.
        {"across_the_wrap", RepeatsAtDistances(3, {30000, 50000, 65000, 7}, lengths, 12), "-m0=LZMA:d=64k -mx9"},
    };
    for (const CopyCase& copy : cases) {
        TempFolder folder;
        WriteFile(folder.Path() / "tree" / "data.bin", copy.data);
        Make7z(folder.Path() / "copies.7z", folder.Path() / "tree", copy.switches);
        ExtractionResult result;
        ExtractAll(ReadFile(folder.Path() / "copies.7z"), "", result);
        ASSERT_EQ(result.target.files.count("data.bin"), 1u) << copy.name;
        const Bytes& decoded = result.target.files.at("data.bin");
        ASSERT_EQ(decoded.size(), copy.data.size()) << copy.name;
        EXPECT_TRUE(decoded == copy.data) << copy.name;
    }
}

}  // namespace
}  // namespace kaviro::oru::testing
