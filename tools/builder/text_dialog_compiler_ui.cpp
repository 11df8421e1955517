#include <exception>

#include "engine/text_util.h"
#include "tools/builder/build_error.h"
#include "tools/builder/text_dialog_compiler.h"
#include "ui/form_stream_reader.h"
#include "ui/form_text_compiler.h"

namespace kaviro::builder {
namespace {

const ui::Component* FindByName(const ui::Component& component, std::string_view name) {
    if (EqualsIgnoreCase(component.name, name))
        return &component;
    for (const ui::Component& child : component.children) {
        if (const ui::Component* found = FindByName(child, name))
            return found;
    }
    return nullptr;
}

// The ANSI text of a string value; wide text keeps its Latin-1 characters.
std::optional<std::string> StringValue(const ui::PropertyValue& value) {
    switch (value.type) {
        case ui::ValueType::String:
        case ui::ValueType::LString:
        case ui::ValueType::Utf8String:
            return value.text;
        case ui::ValueType::WString: {
            std::string text;
            for (const char16_t unit : value.wide) text += unit < 256 ? static_cast<char>(unit) : '?';
            return text;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

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

std::optional<std::string> DialogControlText(std::span<const uint8_t> dialog, std::string_view controlName,
                                             const std::string& sourceName) {
    ui::DialogFile file;
    try {
        file = ui::ReadDialogFile(dialog);
    } catch (const std::exception& error) {
        throw BuildError(sourceName + ": not a readable dialog file: " + error.what());
    }
    const ui::Component* control = FindByName(file.root, controlName);
    if (control == nullptr)
        return std::nullopt;
    for (const char* property : {"Caption", "Text"}) {
        for (const ui::Property& candidate : control->properties) {
            if (candidate.name == property) {
                if (auto text = StringValue(candidate.value))
                    return text;
            }
        }
    }
    return std::string();
}

}  // namespace kaviro::builder
