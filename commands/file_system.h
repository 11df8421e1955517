#pragma once
// The few file-system calls of the file commands that differ by platform.

#include <cstdint>
#include <string>

namespace kaviro::commands {

// Clears the attributes (read-only and the rest) of a file; failures are ignored.
void ClearFileAttributes(const std::string& path);

// An existing file that is not a folder / an existing folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Free bytes available to the caller and total bytes of the path's drive;
// both 0 when the query fails.
struct DiskSpace {
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
};
DiskSpace QueryDiskSpace(const std::string& path);

}  // namespace kaviro::commands
