#include "script/variable_text.h"

#include "engine/text_util.h"

namespace kaviro::script {

bool TextToBool(std::string_view text) { return text == "-1" || EqualsIgnoreCase(text, kTrueText); }

std::string_view BoolToText(bool value) { return value ? kTrueText : kFalseText; }

std::string NewlineToCrlf(std::string_view text) { return ReplaceAllIgnoreCase(text, kNewlineMarker, "\r\n"); }

std::string CrlfToNewline(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += kNewlineMarker;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string StripReference(std::string_view text) {
    if (text.size() < 2 || text.front() != '$' || text.back() != '$') return {};
    const std::string_view inner = text.substr(1, text.size() - 2);
    if (inner.find('$') != std::string_view::npos) return {};
    return std::string(inner);
}

std::string NameFromReference(std::string_view text) {
    std::string name = StripReference(text);
    return name.empty() ? std::string(text) : name;
}

}  // namespace kaviro::script
