#pragma once
// How component names compare. Every lookup of a component by name (find,
// exists, deleted, hidden, locked, size, tree levels) goes through
// ComponentNamesEqual: whole names, case ignored as the user's locale sees
// it. On Windows this is the platform's locale-aware comparison for the
// user's default locale with case ignored; the native build folds case for
// ASCII and the letters of Windows code page 1252, which agrees with the
// platform for the names setups use.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kaviro::installer {

[[nodiscard]] bool ComponentNamesEqual(std::string_view a, std::string_view b);

// Decimal 64-bit integer as size lines hold it: optional blanks, an optional
// sign, digits and nothing else. Empty when the text is not one or does not
// fit in 64 bits.
[[nodiscard]] std::optional<int64_t> ParseInt64(std::string_view text);

}  // namespace kaviro::installer
