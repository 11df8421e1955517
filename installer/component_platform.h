#pragma once
// What the component commands and the setup data file need of the platform:
// the file-system redirection switch of 64-bit mode, the free bytes of a
// drive, the default root of the engine cache and folder creation.

#include <memory>
#include <string>

#include "installer/component_commands.h"
#include "installer/target_space.h"

namespace kaviro::installer {

// Switches the redirection of 32-bit programs off while the mode text (read
// at each switch) is not "Win32" and the process runs on 64-bit Windows.
// Native builds have no redirection.
[[nodiscard]] std::unique_ptr<FileSystemRedirection> MakeFileSystemRedirection(const std::string& sixtyFourBitMode);

// Free bytes available to the caller on the drive (or network share) that
// holds the folder, whether or not the folder exists yet; 0 when the query fails.
[[nodiscard]] FreeBytesProbe SystemFreeBytesProbe();

// Creates the folder and its parents; false when it does not exist afterwards.
bool EnsureFolder(const std::string& path);

}  // namespace kaviro::installer
