#pragma once
// The exported C interface of oru.lib. All functions use the standard
// calling convention, ANSI strings and 32-bit integers; handles and pointers
// are pointer-sized. No exception crosses this boundary: failures return 0
// and leave their code for GetLastArchiveError.

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" {

// One listed entry: 48 bytes on both architectures. Only the path is needed
// by the engine; the numbers are informational.
struct ArchiveEntry {
    const char* path;    // offset 0: ANSI path, '\' separated
    int64_t size;        // offset 8: unpacked size
    int64_t packedSize;  // offset 16: packed size of the entry's folder, on its first entry
    int64_t crc;         // offset 24: CRC-32 of the data, or -1 when unknown
    FILETIME modified;   // offset 32: last write time, zero when unknown
    int32_t attributes;  // offset 40: Windows attributes (Unix mode bits masked off)
};

struct TargetFiles {
    const char** paths;
    int32_t count;
};

typedef int32_t(__stdcall* PasswordCallback)(char* buffer);
typedef int32_t(__stdcall* ProgressCallback)(const char* file, int64_t done, int64_t total);
typedef int32_t(__stdcall* Callback2)(int32_t, int32_t);
typedef int32_t(__stdcall* Callback10)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                        int32_t, int32_t);

intptr_t __stdcall OpenListArchive(const char* archive, int32_t zero, PasswordCallback passwordCallback,
                                   int32_t unused1, int32_t unused2, int32_t unused3, const char* password,
                                   ArchiveEntry** entries, int32_t* count);
void __stdcall CloseListArchive(intptr_t handle);
int32_t __stdcall ExtractArchive(const char* archive, int32_t one, const char* outputFolder,
                                 const TargetFiles* targets, int32_t pathMode, const char* password,
                                 PasswordCallback passwordCallback, ProgressCallback progressCallback,
                                 Callback2 callback2, Callback10 callback10);
int32_t __stdcall GetLastArchiveError(void);
}

static_assert(sizeof(ArchiveEntry) == 48);
static_assert(offsetof(ArchiveEntry, size) == 8);
static_assert(offsetof(ArchiveEntry, packedSize) == 16);
static_assert(offsetof(ArchiveEntry, modified) == 32);
static_assert(offsetof(ArchiveEntry, attributes) == 40);

// Size of the buffer handed to the password callback, NUL included.
inline constexpr size_t kPasswordBufferSize = 256;

// Answers of the ten-argument callback, asked before an existing file is
// replaced (all ten arguments are zero).
inline constexpr int32_t kQueryCancel = 0;
inline constexpr int32_t kQuerySkip = 2;
inline constexpr int32_t kQuerySkipAll = 3;
inline constexpr int32_t kQueryOverwriteAll = 4;  // any other nonzero answer overwrites this one file
