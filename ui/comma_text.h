#pragma once
// Comma text: a list of lines kept as one text, the way the form library's
// string lists join and split it. Items holding a blank, a control
// character, a comma or a double quote are written in double quotes with
// inner quotes doubled; items are separated by commas.

#include <string>
#include <string_view>
#include <vector>

namespace kaviro::ui {

[[nodiscard]] std::string JoinCommaText(const std::vector<std::string>& items);

// Splits comma text. As with the form library, unquoted blanks separate
// items too, and a trailing comma adds an empty last item.
[[nodiscard]] std::vector<std::string> SplitCommaText(std::string_view text);

// The lines of a text file's content: split at CRLF, LF or CR; a final line
// break does not add an empty line.
[[nodiscard]] std::vector<std::string> SplitTextLines(std::string_view content);

}  // namespace kaviro::ui
