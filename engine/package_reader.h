#pragma once
// Reads a script package (see package_format.h).

#include <string>
#include <string_view>

#include "engine/package_format.h"

namespace kaviro {

// Parses package text. Bytes after the twelfth closing "$" are ignored.
// Raises EngineError when the text ends inside a section or an integer line
// is not a number: a damaged package never runs as a partial script.
Script ParsePackage(std::string_view text);

// Reads and parses a package file.
Script LoadPackage(const std::string& path);

}  // namespace kaviro
