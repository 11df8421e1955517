#pragma once
// The few file-system calls of the file commands that differ by platform.

#include <string>

namespace kaviro::commands {

// Clears the attributes (read-only and the rest) of a file; failures are ignored.
void ClearFileAttributes(const std::string& path);

// An existing file that is not a folder / an existing folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

}  // namespace kaviro::commands
