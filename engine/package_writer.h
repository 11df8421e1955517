#pragma once
// Writes a script package (see package_format.h): the builder's side.

#include <string>

#include "engine/package_format.h"

namespace kaviro {

// The package text, CRLF line ends. A parameter line that is exactly "$" is
// written as "$DOLLAR$". Raises EngineError for text the format cannot carry:
// a line break inside any line, or a "$" line inside any other list.
std::string WritePackage(const Script& script);

}  // namespace kaviro
