#pragma once
// Conversions between the archive's UTF-16 names and the ANSI text of the
// exported interface (the active code page).

#include <string>

namespace kaviro::oru {

[[nodiscard]] std::string ToAnsi(const std::u16string& text);
[[nodiscard]] std::wstring AnsiToWide(const char* text);
[[nodiscard]] std::u16string AnsiToUtf16(const char* text);
[[nodiscard]] std::wstring ToWide(const std::u16string& text);

}  // namespace kaviro::oru
