#include "tools/builder/build_error.h"
#include "tools/builder/text_dialog_compiler.h"

namespace kaviro::builder {

bool TextDialogsSupported() {
    return false;
}

std::vector<uint8_t> CompileTextDialog(std::string_view, const std::string& sourceName) {
    throw BuildError(sourceName +
                     ": this builder was made without the dialog text compiler; "
                     "give the dialog compiled (NAME.dfm) or rebuild the builder with ui/ present");
}

std::optional<std::string> DialogControlText(std::span<const uint8_t>, std::string_view,
                                             const std::string& sourceName) {
    throw BuildError(sourceName +
                     ": this builder was made without the dialog-file reader, so it cannot translate "
                     "dialog texts; rebuild the builder with ui/ present");
}

}  // namespace kaviro::builder
