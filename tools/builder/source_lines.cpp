#include "tools/builder/source_lines.h"

#include "tools/builder/build_error.h"

namespace kaviro::builder {

BuildError ErrorAt(const std::string& file, std::size_t line, const std::string& message) {
    return BuildError(file + ":" + std::to_string(line) + ": " + message);
}

std::vector<std::string> SplitSourceLines(std::string_view text, const std::string& sourceName) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        throw ErrorAt(sourceName, 1,
                      "the file starts with a UTF-8 byte-order mark; save it in the setup's ANSI code page");
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::size_t lineNumber = lines.size() + 1;
        if (line.find('\r') != std::string_view::npos) {
            throw ErrorAt(sourceName, lineNumber,
                          "a carriage return inside the line is a line break the package cannot carry "
                          "(write $NEWLINE$ for a line break inside a value)");
        }
        if (line.find('\0') != std::string_view::npos) {
            throw ErrorAt(sourceName, lineNumber, "the line holds a NUL byte");
        }
        lines.emplace_back(line);
        start = next;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace kaviro::builder
