#include "oru/entry_path.h"

#include <vector>

namespace kaviro::oru {
namespace {

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool OnlyDotsAndSpaces(std::u16string_view component) {
    return component.find_first_not_of(u". ") == std::u16string_view::npos;
}

}  // namespace

std::optional<std::u16string> SafeRelativePath(std::u16string_view name) {
    if (name.empty() || IsSeparator(name.front()) || name.find(u':') != std::u16string_view::npos) {
        return std::nullopt;
    }
    std::vector<std::u16string_view> components;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        const std::u16string_view component = name.substr(start, end - start);
        if (component.empty() || component == u".") {
            // Doubled separators and "." stay where they are.
        } else if (component == u"..") {
            if (components.empty()) {
                return std::nullopt;
            }
            components.pop_back();
        } else if (OnlyDotsAndSpaces(component)) {
            return std::nullopt;
        } else {
            components.push_back(component);
        }
        start = end + 1;
    }
    if (components.empty()) {
        return std::nullopt;
    }
    std::u16string path;
    for (const std::u16string_view component : components) {
        if (!path.empty()) {
            path.push_back(u'/');
        }
        path.append(component);
    }
    return path;
}

std::u16string_view FinalComponent(std::u16string_view relativePath) {
    const size_t slash = relativePath.rfind(u'/');
    return slash == std::u16string_view::npos ? relativePath : relativePath.substr(slash + 1);
}

}  // namespace kaviro::oru
