// libFuzzer target over the archive reader: opens the input as an archive
// and extracts every entry into a target that only counts bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "oru/archive.h"
#include "oru/archive_error.h"

namespace {

using namespace kaviro::oru;

class FuzzInput : public RandomAccessInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    [[nodiscard]] uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override {
        if (offset >= size_) {
            return 0;
        }
        const size_t count = std::min<size_t>(size, size_ - static_cast<size_t>(offset));
        std::memcpy(buffer, data_ + offset, count);
        return count;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

class CountingFile : public OutputFile {
public:
    void Write(const uint8_t*, size_t size) override { written_ += size; }
    void Commit() override {}

private:
    uint64_t written_ = 0;
};

class CountingTarget : public ExtractionTarget {
public:
    void CreateFolder(const std::u16string&, const Entry&) override {}
    std::unique_ptr<OutputFile> CreateOutputFile(const std::u16string&, const Entry&) override {
        return std::make_unique<CountingFile>();
    }
};

// Stops runaway outputs (small inputs can legitimately expand a lot).
class BoundedObserver : public ExtractionObserver {
public:
    bool Progress(const Entry&, uint64_t done, uint64_t) override { return done < (uint64_t{64} << 20); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    try {
        Archive archive(input, [] { return std::optional<std::u16string>(u"password"); });
        CountingTarget target;
        BoundedObserver observer;
        archive.Extract(std::vector<bool>(archive.Entries().size(), true), PathMode::FullPaths, target, observer);
    } catch (const ArchiveError&) {
        // Rejected input is the expected outcome for most fuzz cases.
    }
    return 0;
}
