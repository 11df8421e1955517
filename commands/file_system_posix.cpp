#include <sys/stat.h>

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

}  // namespace kaviro::commands
