// A file larger than 4 GiB: its 64-bit size survives listing, and its data
// decodes to exactly that many bytes with a matching CRC, counted in memory
// so nothing of the 4 GiB is written to disk.

#include <gtest/gtest.h>

#include <algorithm>
#include "oru_test_support.h"

namespace kaviro::oru::testing {
namespace {
// Counts the bytes of the extracted file and checks that all are zero.
class ZeroCountingFile : public OutputFile {
public:
    explicit ZeroCountingFile(uint64_t& count, bool& allZero) : count_(count), allZero_(allZero) {}
    void Write(const uint8_t* data, size_t size) override {
        count_ += size;
        allZero_ = allZero_ && std::all_of(data, data + size, [](uint8_t byte) { return byte == 0; });
    }
    void Commit() override { committed = true; }
    bool committed = false;

private:
    uint64_t& count_;
    bool& allZero_;
};

class CountingTarget : public ExtractionTarget {
public:
    void CreateFolder(const std::u16string&, const Entry&) override {}
    std::unique_ptr<OutputFile> CreateOutputFile(const std::u16string&, const Entry&) override {
        auto file = std::make_unique<ZeroCountingFile>(count, allZero);
        ++files;
        return file;
    }
    uint64_t count = 0;
    bool allZero = true;
    int files = 0;
};

TEST(LargeFile, ListsAndDecodesBeyondFourGigabytes) {
    MemoryInput input(ReadFile(LargeFileArchive(KAVIRO_LARGE_ARCHIVE_DIR)));
    Archive archive(input, {});
    ASSERT_EQ(archive.Entries().size(), 1u);
    const Entry& entry = archive.Entries()[0];
    EXPECT_EQ(entry.size, kLargeFileSize);
    ASSERT_TRUE(entry.crc.has_value());

    CountingTarget target;
    CountingObserver observer;
    archive.Extract({true}, PathMode::FullPaths, target, observer);  // throws on a CRC mismatch
    EXPECT_EQ(target.files, 1);
    EXPECT_EQ(target.count, kLargeFileSize);
    EXPECT_TRUE(target.allZero);
    EXPECT_EQ(observer.lastDone, kLargeFileSize);
    EXPECT_EQ(observer.lastTotal, kLargeFileSize);
}

}  // namespace
}  // namespace kaviro::oru::testing
