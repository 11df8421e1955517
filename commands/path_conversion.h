#pragma once
// "Convert Path" through the file system: the long form of a path, element
// by element, as the file system spells the existing elements.

#include <string>
#include <string_view>

#include "commands/file_access.h"

namespace kaviro::commands {

// A drive root ("C:", "C:\") or a network share root ("\\server\share").
bool IsRootPath(std::string_view path);

// A root stays as it is. Otherwise one trailing backslash is dropped; when
// the path has a parent and exists, the result is the parent's long form, a
// backslash and the name the file system reports for the last element; a
// path that does not exist is kept (without trailing backslash).
std::string LongPathForm(FileAccess& files, std::string_view path);

// The short (8.3) form of an existing path; a path whose short form cannot
// be had (it does not exist) is kept as it is.
std::string ShortPathForm(FileAccess& files, std::string_view path);

}  // namespace kaviro::commands
