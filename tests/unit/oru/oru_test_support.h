#pragma once
// Helpers for the archive library tests: sample trees on disk, archives made
// by the reference 7zz tool, and in-memory input and output for the core.

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "oru/archive.h"
#include "oru/byte_io.h"
#include "oru/extraction_target.h"

namespace kaviro::oru::testing {

using Bytes = std::vector<uint8_t>;

// A fresh folder below the system temp folder, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const Bytes& data);
[[nodiscard]] Bytes ReadFile(const std::filesystem::path& path);

// Deterministic sample data.
[[nodiscard]] Bytes TextLikeData(size_t size, uint32_t seed);
[[nodiscard]] Bytes RandomData(size_t size, uint32_t seed);
[[nodiscard]] Bytes X86LikeData(size_t size, uint32_t seed);
[[nodiscard]] Bytes Arm64LikeData(size_t size, uint32_t seed);

// The sample tree every format test archives: text, binary and code-like
// files, an empty file, an empty folder, nested folders and non-ASCII names.
// Returns the expected files (relative UTF-8 path -> content); folders are
// listed in `folders`.
struct SampleTree {
    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
};
[[nodiscard]] SampleTree MakeSampleTree(const std::filesystem::path& root, size_t scale = 1);

// Runs 7zz to archive the contents of `folder` into `archive` with extra switches.
void Make7z(const std::filesystem::path& archive, const std::filesystem::path& folder, const std::string& switches);

// An archive of one file of zeros larger than 4 GiB (LZMA2, under 1 MB),
// made by 7zz from a sparse file in `folder` unless an earlier run left it
// there. Making it takes about half a minute.
inline constexpr uint64_t kLargeFileSize = (uint64_t{4} << 30) + (uint64_t{100} << 20) + 12345;
[[nodiscard]] std::filesystem::path LargeFileArchive(const std::filesystem::path& folder);

// Replaces the first occurrence of `from` in the plain header of an archive
// made with -mhc=off by `to` (same length) and fixes the CRCs.
[[nodiscard]] Bytes PatchHeader(const Bytes& archive, const Bytes& from, const Bytes& to);

// Renames an entry inside an archive made with a plain header (-mhc=off):
// replaces the UTF-16 name `from` by `to` (same length) and fixes the CRCs.
// Used to make hostile archives that 7zz itself would never write.
[[nodiscard]] Bytes RenameEntry(const Bytes& archive, const std::string& from, const std::string& to);

class MemoryInput : public RandomAccessInput {
public:
    explicit MemoryInput(Bytes data) : data_(std::move(data)) {}
    [[nodiscard]] uint64_t Size() const override { return data_.size(); }
    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override;

private:
    Bytes data_;
};

// Keeps committed files and created folders; counts files never committed.
class MemoryTarget : public ExtractionTarget {
public:
    void CreateFolder(const std::u16string& path, const Entry& entry) override;
    std::unique_ptr<OutputFile> CreateOutputFile(const std::u16string& path, const Entry& entry) override;
    void FinishFolder(const std::u16string& path, const Entry& entry) override;

    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
    int discarded = 0;
    // In order: "folder PATH", "file PATH" (at commit), "finish PATH".
    std::vector<std::string> events;
};

class CountingObserver : public ExtractionObserver {
public:
    explicit CountingObserver(int64_t cancelAfterCalls = -1) : cancelAfter_(cancelAfterCalls) {}
    bool Progress(const Entry& entry, uint64_t done, uint64_t total) override;

    int64_t calls = 0;
    uint64_t lastDone = 0;
    uint64_t lastTotal = 0;
    bool monotonic = true;

private:
    int64_t cancelAfter_;
};

[[nodiscard]] std::string Utf8(const std::u16string& text);
[[nodiscard]] std::u16string Utf16(const std::string& text);

// Opens archive bytes and extracts everything into memory.
struct ExtractionResult {
    MemoryTarget target;
    CountingObserver observer;
};
void ExtractAll(const Bytes& archive, const std::string& password, ExtractionResult& result,
                PathMode mode = PathMode::FullPaths);

}  // namespace kaviro::oru::testing
