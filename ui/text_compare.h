#pragma once
// Case-insensitive comparison of ASCII names (component, property and class
// names of dialog files).

#include <string>
#include <string_view>

namespace kaviro::ui {

[[nodiscard]] bool SameName(std::string_view left, std::string_view right);
[[nodiscard]] std::string UpperCaseAscii(std::string_view text);

}  // namespace kaviro::ui
