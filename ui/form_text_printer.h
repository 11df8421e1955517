#pragma once
// Printer of compiled dialogs as text form, for authors who want to inspect
// a compiled dialog file. Printing and compiling again gives the same tree
// for every stream in the compiler's canonical form (integers in their
// smallest type, strings in the kind their content selects).

#include <cstdint>
#include <span>
#include <string>

#include "ui/component_tree.h"
#include "ui/dialog_file_error.h"

namespace kaviro::ui {

// The text form of a component tree, lines ending in CRLF. Throws
// DialogFileError for names that the text form cannot express (a class,
// component, property or identifier name that is not an identifier).
[[nodiscard]] std::string PrintTextForm(const Component& root);

// Reads a compiled dialog file and prints its root component.
[[nodiscard]] std::string PrintDialogFile(std::span<const std::uint8_t> bytes);

}  // namespace kaviro::ui
