#pragma once
// A small deterministic 7z archive writer for the support resource: stored
// (copy method) entries, one folder per non-empty file, fixed times, names
// sorted, an unencoded header. Same entries give the same bytes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kaviro::builder {

struct ArchiveEntry {
    std::string name;  // UTF-8, levels separated by "/"
    bool isFolder = false;
    std::vector<uint8_t> data;
};

// The modification time written for every entry: 2000-01-01 00:00:00 UTC.
inline constexpr uint64_t kArchiveEntryTime = 125911584000000000ULL;

[[nodiscard]] uint32_t Crc32(std::span<const uint8_t> bytes);

// The archive bytes. Entries are sorted by name; raises BuildError for a name
// that is empty, not UTF-8, or the same as another one (case ignored, as on
// the target file system).
[[nodiscard]] std::vector<uint8_t> WriteSevenZipArchive(std::vector<ArchiveEntry> entries);

}  // namespace kaviro::builder
