#include "commands/file_listing.h"

#include <cctype>

namespace kaviro::commands {

namespace {

constexpr std::string_view kAllEntries = "*.*";

char Fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool WildcardMatch(std::string_view name, std::string_view mask) {
    // Iterative match with one backtrack point for the last "*".
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::string WithoutTrailingBackslash(std::string_view path) {
    std::string text(path);
    if (!text.empty() && text.back() == '\\') text.pop_back();
    return text;
}

}  // namespace

bool MaskMatches(std::string_view name, std::string_view mask) {
    if (mask.empty()) return false;
    if (mask == kAllEntries || mask == "*") return true;
    if (mask.size() > 1 && mask.back() == '.' && mask[mask.size() - 2] != '.') {
        // "name." and "*." ask for names without an extension.
        return name.find('.') == std::string_view::npos && WildcardMatch(name, mask.substr(0, mask.size() - 1));
    }
    if (mask.size() > 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos) {
        // "readme.*" also matches "readme".
        return WildcardMatch(name, mask.substr(0, mask.size() - 2));
    }
    return WildcardMatch(name, mask);
}

PathPattern SplitPattern(std::string_view pattern) {
    const std::size_t delimiter = pattern.find_last_of("\\:");
    if (delimiter == std::string_view::npos) return {std::string(), std::string(pattern)};
    return {std::string(pattern.substr(0, delimiter + 1)), std::string(pattern.substr(delimiter + 1))};
}

bool ListInto(FileAccess& files, const std::string& folder, const std::string& mask, const ListingOptions& options,
              PathList& entries, ListingObserver* observer) {
    if (observer) observer->FolderEntered();
    bool stopped = false;
    files.Enumerate(folder, std::string(kAllEntries), EntryKind::Folders, [&](const std::string& name) {
        const std::string subfolder = folder + name;
        if (options.recurse) {
            if (!ListInto(files, subfolder + "\\", mask, options, entries, observer)) {
                stopped = true;
                return false;
            }
            if (observer && observer->StopRequested()) {
                stopped = true;
                return false;
            }
        }
        if (options.includeFolders) {
            entries.push_back(subfolder);
            if (observer) observer->EntryAdded(subfolder, EntryKind::Folders);
        }
        return true;
    });
    if (stopped) return false;
    if (!options.includeFiles) return true;
    files.Enumerate(folder, mask, EntryKind::Files, [&](const std::string& name) {
        entries.push_back(folder + name);
        if (observer) {
            observer->EntryAdded(entries.back(), EntryKind::Files);
            if (observer->StopRequested()) {
                stopped = true;
                return false;
            }
        }
        return true;
    });
    return !stopped;
}

PathList FindFiles(FileAccess& files, std::string_view pattern, bool recurse, bool includeFolders,
                   ListingObserver* observer) {
    const PathPattern parts = SplitPattern(pattern);
    PathList entries;
    ListInto(files, parts.folder, parts.mask, {recurse, includeFolders, true}, entries, observer);
    return entries;
}

PathList ListFiles(FileAccess& files, std::string_view pattern, bool recurse) {
    return FindFiles(files, pattern, recurse, false);
}

PathList ListFilesWide(FileAccess& files, std::string_view pattern, bool recurse) {
    PathList entries = ListFiles(files, pattern, recurse);
    for (std::string& entry : entries) {
        if (auto shortPath = files.ShortPath(entry)) entry = std::move(*shortPath);
    }
    return entries;
}

PathList ListFolders(FileAccess& files, std::string_view folder, bool recurse) {
    PathList entries;
    ListInto(files, WithoutTrailingBackslash(folder) + "\\", std::string(kAllEntries), {recurse, true, false},
             entries);
    return entries;
}

PathList ListMatching(FileAccess& files, std::string_view pattern, bool everySubfolder) {
    return ListFiles(files, pattern, everySubfolder);
}

void DeleteFolderContents(FileAccess& files, std::string_view folder, bool recurse) {
    const std::string prefix = WithoutTrailingBackslash(folder) + "\\";
    // Entries are collected before anything is removed, so the enumeration
    // never runs over a folder that changes under it.
    PathList subfolders;
    files.Enumerate(prefix, std::string(kAllEntries), EntryKind::Folders, [&](const std::string& name) {
        subfolders.push_back(prefix + name);
        return true;
    });
    if (recurse) {
        for (const std::string& subfolder : subfolders) {
            DeleteFolderContents(files, subfolder, true);
            // A folder that stays non-empty stays; errors are ignored by design.
            files.RemoveFolder(subfolder);
        }
    }
    PathList fileEntries;
    files.Enumerate(prefix, std::string(kAllEntries), EntryKind::Files, [&](const std::string& name) {
        fileEntries.push_back(prefix + name);
        return true;
    });
    for (const std::string& file : fileEntries) {
        // A file that cannot be deleted stays; errors are ignored by design.
        files.DeleteFile(file);
    }
}

int DeleteRecursive(FileAccess& files, std::string_view pattern) {
    PathList entries = FindFiles(files, pattern, true, true);
    int passes = 0;
    for (;;) {
        ++passes;
        // Folders simply fail the file delete, files and non-empty folders
        // the folder removal; what stays is seen by the next listing.
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) files.DeleteFile(*entry);
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) files.RemoveFolder(*entry);
        PathList again = FindFiles(files, pattern, true, true);
        if (again.size() == entries.size()) return passes;
        entries = std::move(again);
    }
}

std::string BarSeparatedText(const PathList& entries) {
    if (entries.size() == 1 && entries.front().empty()) return "\"\"";
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) text += '|';
        const std::string& entry = entries[i];
        bool quote = false;
        for (char c : entry) {
            if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '|') quote = true;
        }
        if (!quote) {
            text += entry;
            continue;
        }
        text += '"';
        for (char c : entry) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

}  // namespace kaviro::commands
