#include <sys/stat.h>
#include <sys/statvfs.h>

#include "commands/file_system.h"

namespace kaviro::commands {

void ClearFileAttributes(const std::string& path) {
    // The native build has no Windows attributes; making the file writable
    // for its owner is the nearest equivalent. Failures show when it is written.
    struct stat status {};
    if (stat(path.c_str(), &status) == 0)
        chmod(path.c_str(), status.st_mode | S_IWUSR);
}

bool FileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

DiskSpace QueryDiskSpace(const std::string& path) {
    struct statvfs status {};
    if (statvfs(path.c_str(), &status) != 0)
        return {};
    return {static_cast<uint64_t>(status.f_bavail) * status.f_frsize,
            static_cast<uint64_t>(status.f_blocks) * status.f_frsize};
}

}  // namespace kaviro::commands
