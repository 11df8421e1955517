#pragma once
// Path texts as the "Extract Path" command splits them (backslash and colon
// delimit names; no file system access).

#include <optional>
#include <string>
#include <string_view>

namespace kaviro::script {

std::string ExtractFileName(std::string_view path);   // after the last "\" or ":"
std::string ExtractFileExtension(std::string_view path);  // from the last "." of the name, dot included
std::string ExtractFolder(std::string_view path);     // through the last "\" or ":"
std::string ExtractDrive(std::string_view path);      // "C:" or "\\server\share"
std::string WithTrailingBackslash(std::string_view path);  // empty stays empty

// The "Extract Path" part codes 0 to 6; any other code returns the path.
std::string ExtractPathPart(std::string_view path, int code);

// Removes leading and trailing blanks and control characters.
std::string TrimBlanks(std::string_view text);

}  // namespace kaviro::script
