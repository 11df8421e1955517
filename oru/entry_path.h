#pragma once
// Turning stored entry names into paths below the output folder.

#include <optional>
#include <string>
#include <string_view>

namespace kaviro::oru {

// The entry name as a relative path with '/' separators, with "." dropped
// and ".." resolved. Empty when the name is not safe to write below the
// output folder: absolute or UNC names, drive letters or any ':' (alternate
// data streams), ".." climbing above the top, components made only of dots
// and spaces (which Windows would shorten to "." or ".."), or nothing left.
[[nodiscard]] std::optional<std::u16string> SafeRelativePath(std::u16string_view name);

// The last component of a safe relative path.
[[nodiscard]] std::u16string_view FinalComponent(std::u16string_view relativePath);

}  // namespace kaviro::oru
