#pragma once
// Splits a project source file (script source, settings) into lines. Lines
// end with LF or CRLF. Everything else that the package cannot carry inside a
// line is an error naming the file and line: a lone CR (a line break the
// package would split), a NUL byte, and a UTF-8 byte-order mark (sources are
// written in the setup's ANSI code page and carried byte for byte).

#include <string>
#include <string_view>
#include <vector>

namespace kaviro::builder {

[[nodiscard]] std::vector<std::string> SplitSourceLines(std::string_view text, const std::string& sourceName);

// Text without leading and trailing blanks (spaces and tabs).
[[nodiscard]] std::string_view TrimBlanks(std::string_view text);

}  // namespace kaviro::builder
