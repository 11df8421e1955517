#pragma once
// Parses the 7z header structures into a Database.
//
// Grammar (property ids in brackets, [..]? optional):
//   Header      := [01] [02 ArchiveProperties]? [03 StreamsInfo]? [04 StreamsInfo]? [05 FilesInfo]? [00]
//   StreamsInfo := [06 PackInfo]? [07 UnpackInfo]? [08 SubStreamsInfo]? [00]
//   PackInfo    := PackPos NumPackStreams ([09] Sizes | [0A] Digests | other)* [00]
//   UnpackInfo  := [0B] NumFolders External=0 Folder* [0C] OutputSizes ([0A] Digests | other)* [00]
//   SubStreams  := ([0D] Counts)? ([09] Sizes)? ([0A] Digests | other)* [00]
//   FilesInfo   := NumFiles (PropertyId Size Data)* [00]
// Numbers are the format's variable-length numbers; unknown records carry
// their size and are skipped.

#include <cstdint>

#include "oru/archive_database.h"
#include "oru/header_cursor.h"

namespace kaviro::oru {

namespace property {
inline constexpr uint8_t kEnd = 0x00;
inline constexpr uint8_t kHeader = 0x01;
inline constexpr uint8_t kArchiveProperties = 0x02;
inline constexpr uint8_t kAdditionalStreamsInfo = 0x03;
inline constexpr uint8_t kMainStreamsInfo = 0x04;
inline constexpr uint8_t kFilesInfo = 0x05;
inline constexpr uint8_t kPackInfo = 0x06;
inline constexpr uint8_t kUnpackInfo = 0x07;
inline constexpr uint8_t kSubStreamsInfo = 0x08;
inline constexpr uint8_t kSize = 0x09;
inline constexpr uint8_t kCrc = 0x0A;
inline constexpr uint8_t kFolder = 0x0B;
inline constexpr uint8_t kCodersUnpackSize = 0x0C;
inline constexpr uint8_t kNumUnpackStream = 0x0D;
inline constexpr uint8_t kEmptyStream = 0x0E;
inline constexpr uint8_t kEmptyFile = 0x0F;
inline constexpr uint8_t kAnti = 0x10;
inline constexpr uint8_t kName = 0x11;
inline constexpr uint8_t kModifiedTime = 0x14;
inline constexpr uint8_t kAttributes = 0x15;
inline constexpr uint8_t kEncodedHeader = 0x17;
inline constexpr uint8_t kDummy = 0x19;
}  // namespace property

// Limits on the shape of a folder; real archives use a handful.
inline constexpr size_t kMaxCodersPerFolder = 32;
inline constexpr size_t kMaxStreamsPerFolder = 64;

// archiveSize bounds every packed stream: they must lie inside the file.
[[nodiscard]] StreamsInfo ReadStreamsInfo(HeaderCursor& cursor, uint64_t archiveSize);
// Reads a plain header; the cursor is positioned after its kHeader id.
[[nodiscard]] Database ReadHeader(HeaderCursor& cursor, uint64_t archiveSize);

}  // namespace kaviro::oru
