#include <windows.h>

#include "commands/file_system.h"

namespace kaviro::commands {

void ClearFileAttributes(const std::string& path) {
    // A failure shows when the file is written; nothing to report here.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DiskSpace QueryDiskSpace(const std::string& path) {
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    if (!GetDiskFreeSpaceExA(path.c_str(), &available, &total, nullptr))
        return {};
    return {available.QuadPart, total.QuadPart};
}

}  // namespace kaviro::commands
