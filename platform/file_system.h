#pragma once
// Files and folders through the wide Win32 functions. Paths are the engine's
// ANSI text; failures raise EngineError with the path and the system's text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kaviro::platform {

[[nodiscard]] bool FileExists(const std::string& path);    // a file, not a folder
[[nodiscard]] bool FolderExists(const std::string& path);  // a folder
[[nodiscard]] uint64_t FileSize(const std::string& path);

// Bytes of a file from offset to its end.
[[nodiscard]] std::vector<uint8_t> ReadFileFrom(const std::string& path, uint64_t offset);
[[nodiscard]] std::vector<uint8_t> ReadWholeFile(const std::string& path);
// Creates or overwrites the file with the given bytes.
void WriteWholeFile(const std::string& path, const void* data, std::size_t size);

// Creates one folder. Returns false when it already exists; raises on other failures.
bool CreateFolder(const std::string& path);
// Creates a folder and any missing parents.
void CreateFolderTree(const std::string& path);
void CopyFileOverwriting(const std::string& source, const std::string& target);
void SetNormalAttributes(const std::string& path);
// Deletes a file; a missing file is not an error. Returns whether it is gone.
bool DeleteFileIfPresent(const std::string& path);
// Deletes everything below a folder, best effort: read-only files are made
// writable first; entries that cannot be removed are left.
void DeleteFolderContents(const std::string& folder);
// Removes an empty folder; returns whether it is gone.
bool RemoveFolder(const std::string& folder);

// The folder part of a path including its trailing backslash ("" when none).
[[nodiscard]] std::string FolderOf(std::string_view path);
// The file name without folder.
[[nodiscard]] std::string FileNameOf(std::string_view path);
// The file name without folder and without its last extension.
[[nodiscard]] std::string BaseNameOf(std::string_view path);
// The path with a trailing backslash.
[[nodiscard]] std::string WithTrailingBackslash(std::string_view path);

// The user's temporary folder with a trailing backslash.
[[nodiscard]] std::string TemporaryFolder();
// The full path of the running executable.
[[nodiscard]] std::string ExecutablePath();

}  // namespace kaviro::platform
