#pragma once
// Small text helpers shared by every subsystem. The engine's text is ANSI
// (bytes of the active code page); case folding here is ASCII-only, which is
// what identifiers, GUIDs, switches and markers need.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kaviro {

// ASCII-only case mapping (the engine's names and keys are compared this way).
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);
// Position of the first occurrence of needle in text, ignoring case; npos when absent.
std::size_t FindIgnoreCase(std::string_view text, std::string_view needle, std::size_t from = 0);
// Replaces every non-overlapping occurrence of needle (case ignored) in one
// left-to-right pass; inserted text is not searched again.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view needle, std::string_view replacement);

// Splits text into lines at CRLF, LF or a lone CR. A final line end does not
// start an empty line.
std::vector<std::string> SplitLines(std::string_view text);
// Joins lines with CRLF after each line.
std::string JoinLinesCrlf(const std::vector<std::string>& lines);

// Decimal integer as the engine's conversions read it: optional blanks, an
// optional sign, digits, and nothing else. Empty optional when it is not one
// or does not fit in 32 bits.
std::optional<int32_t> ParseInt32(std::string_view text);
// The same for 64-bit values.
std::optional<int64_t> ParseInt64(std::string_view text);

// Hash and equality for containers keyed by text with ASCII case ignored.
// Both are transparent, so maps keyed by std::string are searched with a
// string_view without building a string.
struct CaseInsensitiveHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept;
};
struct CaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return EqualsIgnoreCase(a, b); }
};

}  // namespace kaviro
