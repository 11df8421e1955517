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

#include "engine/text_util.h"

namespace kaviro::installer {

[[nodiscard]] bool ComponentNamesEqual(std::string_view a, std::string_view b);

// Size lines hold decimal 64-bit integers as the engine's conversions read them.
using kaviro::ParseInt64;

}  // namespace kaviro::installer
