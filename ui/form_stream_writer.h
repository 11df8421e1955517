#pragma once
// Writer of compiled dialog files: the exact inverse of the reader. Values are
// written with the type each one carries, so reading a written tree gives the
// same tree back.

#include <cstdint>
#include <vector>

#include "ui/component_tree.h"
#include "ui/dialog_file_error.h"

namespace kaviro::ui {

// The form stream ("TPF0" and the root component). Throws DialogFileError
// for a value that the format cannot hold (a short string over 255 bytes, a
// filer flag without its child position, ...).
[[nodiscard]] std::vector<std::uint8_t> WriteFormStream(const Component& root);

// Resource header followed by the form stream.
[[nodiscard]] std::vector<std::uint8_t> WriteDialogFile(const DialogFile& file);

}  // namespace kaviro::ui
