#include "ui/comma_text.h"

namespace kaviro::ui {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(std::string_view item) {
    for (char c : item) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string JoinCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items[0].empty()) {
        return "\"\"";
    }
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0) {
            text += ',';
        }
        const std::string& item = items[i];
        if (!NeedsQuotes(item)) {
            text += item;
            continue;
        }
        text += '"';
        for (char c : item) {
            text += c;
            if (c == '"') {
                text += '"';
            }
        }
        text += '"';
    }
    return text;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t position = 0;
    auto skipBlanks = [&] {
        while (position < text.size() && IsBlank(text[position])) {
            ++position;
        }
    };
    skipBlanks();
    while (position < text.size() && text[position] != '\0') {
        std::string item;
        if (text[position] == '"') {
            ++position;
            while (position < text.size()) {
                const char c = text[position++];
                if (c == '"') {
                    if (position < text.size() && text[position] == '"') {
                        ++position;
                    } else {
                        break;
                    }
                }
                item += c;
            }
        } else {
            while (position < text.size() && static_cast<unsigned char>(text[position]) > ' ' &&
                   text[position] != ',') {
                item += text[position++];
            }
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (position < text.size() && text[position] == ',') {
            if (position + 1 >= text.size()) {
                items.emplace_back();
            }
            ++position;
            skipBlanks();
        }
    }
    return items;
}

std::vector<std::string> SplitTextLines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(content.substr(start));
            break;
        }
        lines.emplace_back(content.substr(start, end - start));
        start =
            end + ((content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

}  // namespace kaviro::ui
