#pragma once
// Windows output paths in the extended-length form ("\\?\C:\..." and
// "\\?\UNC\server\share\..."), which the wide file APIs accept beyond
// MAX_PATH. Pure text work, so it builds and is tested natively.

#include <cstddef>
#include <string>

namespace kaviro::oru {

// The extended-length form of an absolute, backslash-separated path without
// "." or ".." components (as GetFullPathNameW returns it). Paths already in
// that form, device paths ("\\.\") and paths that are not absolute are
// returned unchanged.
[[nodiscard]] std::wstring ExtendedLengthPath(const std::wstring& absolutePath);

// The length of the path's root, which folder creation never tries to
// create: "C:\", "\\server\share\", "\\?\C:\", "\\?\UNC\server\share\".
// 0 for a relative path.
[[nodiscard]] size_t PathRootLength(const std::wstring& path);

}  // namespace kaviro::oru
