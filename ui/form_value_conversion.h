#pragma once
// Conversions between the stored forms of dialog file values and the
// engine's text: 10-byte extended floats, currency, and the string encodings
// (ANSI bytes, UTF-8, UTF-16).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaviro::ui {

// 80-bit extended float (little-endian: 64-bit mantissa with explicit integer
// bit, then sign and 15-bit exponent) to and from double. Values beyond the
// range or precision of double are rounded.
[[nodiscard]] std::array<std::uint8_t, 10> ExtendedFromDouble(double value);
[[nodiscard]] double DoubleFromExtended(const std::array<std::uint8_t, 10>& bytes);

// Shortest decimal text that reads back as the same double ("1.5", "1e+20").
[[nodiscard]] std::string FormatReal(double value);
[[nodiscard]] std::string FormatSingle(float value);

// Currency (amount times 10000) as decimal text without trailing zeros: "12.5".
[[nodiscard]] std::string FormatCurrency(std::int64_t scaled);

// Decimal text (optional sign, digits, optional "." and up to 4 digits) to
// currency; nullopt when malformed or out of range.
[[nodiscard]] std::optional<std::int64_t> ParseCurrency(std::string_view text);

// UTF-8 to UTF-16; nullopt for malformed UTF-8.
[[nodiscard]] std::optional<std::u16string> Utf16FromUtf8(std::string_view text);
[[nodiscard]] std::string Utf8FromUtf16(std::u16string_view text);

// Unicode to the engine's ANSI text (Windows-1252; characters it lacks become "?").
[[nodiscard]] std::string AnsiFromUtf16(std::u16string_view text);
[[nodiscard]] std::string AnsiFromUtf8(std::string_view text);

}  // namespace kaviro::ui
