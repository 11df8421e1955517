#pragma once
// Compiler of the text form of dialogs (what setup authors write) into
// compiled dialog files. The accepted text is described in
// docs/dialog-text-format.md; in short:
//
//   object     := ("object" | "inherited" | "inline") [name ":"] class ["[" integer "]"]
//                 property* object* "end"
//   property   := name ["." name]... "=" value
//   value      := integer | real [suffix] | string | identifier | set | list | binary | collection
//   string     := piece ["+" piece]...      piece := ("'" chars "'" | "#" number)...
//   set        := "[" [identifier ["," identifier]...] "]"
//   list       := "(" value... ")"
//   binary     := "{" hex digits "}"
//   collection := "<" ("item" ["[" integer "]"] property... "end")... ">"
//
// Errors raise DialogFileError whose text starts with "sourceName(line): ".

#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/component_tree.h"
#include "ui/dialog_file_error.h"

namespace kaviro::ui {

// Parses a text form into its root component (children of unregistered
// classes are rejected as the reader would reject them).
[[nodiscard]] Component ParseTextForm(std::string_view text, std::string_view sourceName);

// Parses a text form and writes the compiled dialog file: resource header
// (name = the root's class name upper-cased, memory flags 0x1030) and form
// stream. This is what the builder calls for every text dialog of a project.
[[nodiscard]] std::vector<std::uint8_t> CompileTextForm(std::string_view text, std::string_view sourceName);

}  // namespace kaviro::ui
