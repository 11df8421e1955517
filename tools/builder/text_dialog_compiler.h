#pragma once
// The one seam between the builder and the dialog text compiler of ui/.
// Builds that have the dialog-file library compile text dialogs through it
// (text_dialog_compiler_ui.cpp); builds without it get a clear error for a
// text dialog (text_dialog_compiler_missing.cpp). tools/builder/CMakeLists.txt
// picks the file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kaviro::builder {

// Whether text dialogs can be compiled in this build.
[[nodiscard]] bool TextDialogsSupported();

// The compiled dialog file for a text dialog. Raises BuildError with the
// compiler's message, which names the source and line.
[[nodiscard]] std::vector<uint8_t> CompileTextDialog(std::string_view text, const std::string& sourceName);

// The text a translation of control controlName replaces in a compiled
// dialog: its Caption, else its Text, else "" (a list control keeps its items
// in other properties). nullopt when the dialog has no component of that Name
// (case ignored). Raises BuildError naming sourceName for an unreadable dialog.
[[nodiscard]] std::optional<std::string> DialogControlText(std::span<const uint8_t> dialog,
                                                           std::string_view controlName,
                                                           const std::string& sourceName);

}  // namespace kaviro::builder
