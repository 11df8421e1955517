#include "commands/path_conversion.h"

namespace kaviro::commands {

namespace {

// The parent through the last backslash, keeping a drive's own backslash
// ("C:\Dir" gives "C:\", "C:\Dir\Sub" gives "C:\Dir"); empty without one.
std::string ParentOf(std::string_view path) {
    const std::size_t delimiter = path.find_last_of("\\:");
    if (delimiter == std::string_view::npos) return {};
    std::string parent(path.substr(0, delimiter + 1));
    if (parent.size() > 1 && parent.back() == '\\' && parent[parent.size() - 2] != ':' &&
        parent[parent.size() - 2] != '\\') {
        parent.pop_back();
    }
    return parent;
}

}  // namespace

bool IsRootPath(std::string_view path) {
    if (path.size() == 2 && path[1] == ':') return true;
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\') return true;
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        std::string_view rest = path.substr(2);
        if (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
        const std::size_t server = rest.find('\\');
        // \\server or \\server\share, nothing below.
        return server == std::string_view::npos || rest.find('\\', server + 1) == std::string_view::npos;
    }
    return false;
}

std::string LongPathForm(FileAccess& files, std::string_view path) {
    if (path.empty() || IsRootPath(path)) return std::string(path);
    std::string trimmed(path);
    if (trimmed.back() == '\\') trimmed.pop_back();
    const std::string parent = ParentOf(trimmed);
    if (parent.empty() || parent == trimmed || !files.Exists(trimmed)) return trimmed;
    const auto name = files.ReportedName(trimmed);
    if (!name) return trimmed;
    std::string result = LongPathForm(files, parent);
    if (!result.empty() && result.back() != '\\' && result.back() != ':') result += '\\';
    return result + *name;
}

std::string ShortPathForm(FileAccess& files, std::string_view path) {
    return files.ShortPath(std::string(path)).value_or(std::string(path));
}

}  // namespace kaviro::commands
