#include <exception>

#include "tools/builder/build_error.h"
#include "tools/builder/text_dialog_compiler.h"
#include "ui/form_text_compiler.h"

namespace kaviro::builder {

bool TextDialogsSupported() {
    return true;
}

std::vector<uint8_t> CompileTextDialog(std::string_view text, const std::string& sourceName) {
    try {
        return ui::CompileTextForm(text, sourceName);
    } catch (const std::exception& error) {
        // The compiler's message already starts with "sourceName(line): ".
        throw BuildError(error.what());
    }
}

}  // namespace kaviro::builder
