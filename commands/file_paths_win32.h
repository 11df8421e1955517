#pragma once
// Narrow and wide paths and the file utilities that only the Windows build
// has. Paths are the engine's ANSI text; a name that the ANSI code page
// cannot represent is reached through the wide functions and handed back in
// its short (8.3) form, which is ANSI.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaviro::commands {

// ANSI text of the given code page as wide text.
std::wstring ToWide(std::string_view text, unsigned codePage);
// The wide text in the ANSI code page, or nothing when a character has no
// ANSI form.
std::optional<std::string> ExactAnsi(std::wstring_view wide);

// The short (8.3) form of an existing path.
std::optional<std::string> ShortPathOf(const std::string& path);
std::optional<std::string> ShortPathOf(const std::wstring& path);

// The long form through the platform's long-path query; with find, only the
// found entry's own long name (empty when there is none).
std::string LongName(const std::string& path, bool find);

// An existing file that is not a folder.
bool WideFileExists(const std::wstring& path);

// 64-bit size from the directory entry; 0 when the file is missing.
uint64_t FileSize(const std::string& path);
// Free bytes available to the caller on the path's drive; 0 when the query fails.
uint64_t FreeBytes(const std::string& path);

// The file name of a module (null: the running program). A name that the
// ANSI code page cannot represent comes as the short path of the wide name.
// A buffer too small gives the truncated name and the last error 122.
std::string ModulePath(void* module);

// Asks for the file to be deleted at the next restart: on NT the platform's
// move-on-reboot request without target; on 9x a "NUL" line with the file's
// short path in section "Rename" of "wininit.ini" of the Windows folder.
// False when the request could not be recorded.
bool DeleteOnReboot(const std::string& path);

}  // namespace kaviro::commands
