#pragma once
// Whole-file reads and writes of the setup data file. Paths are the engine's
// ANSI text; the C runtime's narrow file functions take them as the active
// code page on Windows. Failures raise EngineError with the path and the
// runtime's error text.

#include <optional>
#include <string>
#include <string_view>

namespace kaviro::installer {

[[nodiscard]] bool RegularFileExists(const std::string& path);
// The file's bytes; empty optional when it does not exist.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::string& path);
// Creates or overwrites the file.
void WriteFileBytes(const std::string& path, std::string_view bytes);
void DeleteFileOrThrow(const std::string& path);
// The target must not exist.
void RenameFileOrThrow(const std::string& from, const std::string& to);

}  // namespace kaviro::installer
