#include "script/path_text.h"

namespace kaviro::script {

namespace {

std::size_t NameStart(std::string_view path) {
    const std::size_t delimiter = path.find_last_of("\\:");
    return delimiter == std::string_view::npos ? 0 : delimiter + 1;
}

std::string ReplaceFirst(std::string_view text, std::string_view needle) {
    std::string result(text);
    if (needle.empty()) return result;
    const std::size_t found = result.find(needle);
    if (found != std::string::npos) result.erase(found, needle.size());
    return result;
}

std::string CollapseAllBackslashes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return result;
}

}  // namespace

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFileExtension(std::string_view path) {
    const std::string_view name = path.substr(NameStart(path));
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string ExtractFolder(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractDrive(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share: up to the backslash after the share name.
        const std::size_t serverEnd = path.find('\\', 2);
        if (serverEnd == std::string_view::npos) return std::string(path);
        const std::size_t shareEnd = path.find('\\', serverEnd + 1);
        return std::string(path.substr(0, shareEnd));
    }
    return {};
}

std::string WithTrailingBackslash(std::string_view path) {
    std::string result(path);
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result;
}

std::string ExtractPathPart(std::string_view path, int code) {
    switch (code) {
        case 0:
            return ExtractFileName(path);
        case 1: {
            const std::string name = ExtractFileName(path);
            return ReplaceFirst(name, ExtractFileExtension(name));
        }
        case 2: {
            const std::string extension = ExtractFileExtension(path);
            return extension.empty() ? extension : extension.substr(1);
        }
        case 3:
            return WithTrailingBackslash(ExtractFolder(path));
        case 4: {
            std::string folder = ExtractFolder(path);
            if (!folder.empty() && folder.back() == '\\') folder.pop_back();
            return WithTrailingBackslash(ExtractFolder(folder));
        }
        case 5:
            return WithTrailingBackslash(ExtractDrive(path));
        case 6:
            return CollapseAllBackslashes(path);
        default:
            return std::string(path);
    }
}

std::string TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return std::string(text.substr(begin, end - begin));
}

}  // namespace kaviro::script
