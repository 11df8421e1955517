#pragma once
// Listings and recursive deletes over the file system.
//
// Listing order (every recursive listing): for each subfolder of a folder, in
// the platform's enumeration order, first the subfolder's own listing, then
// (where folders are listed) the subfolder itself; after all subfolders, the
// folder's files that match the mask. A pattern is a folder followed by a
// mask ("C:\Data\*.txt"); the folder is everything through the last "\" or
// ":". Entries are full paths; folders have no trailing backslash.

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "commands/file_access.h"

namespace kaviro::commands {

using PathList = std::vector<std::string>;

// Folder (through its last delimiter) and mask of a path pattern.
struct PathPattern {
    std::string folder;
    std::string mask;
};
PathPattern SplitPattern(std::string_view pattern);

// Hears a listing as it goes and can stop it.
class ListingObserver {
public:
    virtual ~ListingObserver() = default;
    virtual void FolderEntered() {}
    virtual void EntryAdded(const std::string& /*path*/, EntryKind /*kind*/) {}
    // Polled after a subfolder's listing returns (the folder's enumeration
    // then stops at once, its own files skipped) and after each file.
    [[nodiscard]] virtual bool StopRequested() const { return false; }
};

struct ListingOptions {
    bool recurse = false;
    bool includeFolders = false;
    bool includeFiles = true;
};

// The general listing; appends to entries. Returns false when the observer stopped it.
bool ListInto(FileAccess& files, const std::string& folder, const std::string& mask, const ListingOptions& options,
              PathList& entries, ListingObserver* observer = nullptr);

// Files matching the pattern's mask in its folder and, with recurse, every subfolder.
PathList ListFiles(FileAccess& files, std::string_view pattern, bool recurse);
// As ListFiles, each file as its short (8.3) full path (the path itself when it has none).
PathList ListFilesWide(FileAccess& files, std::string_view pattern, bool recurse);
// The subfolders of a folder, each after its own subfolders when recursing.
PathList ListFolders(FileAccess& files, std::string_view folder, bool recurse);
// Files matching the mask in the pattern's folder; with everySubfolder, first
// the same listing for each direct subfolder, so the whole tree is covered.
PathList ListMatching(FileAccess& files, std::string_view pattern, bool everySubfolder);
// The listing of "Find All Files": folders after their contents when includeFolders is set.
PathList FindFiles(FileAccess& files, std::string_view pattern, bool recurse, bool includeFolders,
                   ListingObserver* observer = nullptr);

// Clears the attributes of and deletes every file in the folder; with
// recurse also empties and removes every subfolder. The folder itself stays;
// errors are ignored.
void DeleteFolderContents(FileAccess& files, std::string_view folder, bool recurse);

// "Delete Files Recursive": deletes the files, then the folders, of the
// pattern's recursive listing, last entry first, and repeats while a new
// listing finds a different number of entries. The pattern's own folder stays.
// Returns the number of passes.
int DeleteRecursive(FileAccess& files, std::string_view pattern);

// Entries separated by "|"; an entry that holds a blank, a control
// character, a double quote or "|" is written in double quotes with inner
// double quotes doubled; a list of one empty entry is written as "".
std::string BarSeparatedText(const PathList& entries);

// Case-insensitive match of a name against a mask with "*" and "?"; "*.*"
// matches every name, and a mask ending in "." matches names without extension.
bool MaskMatches(std::string_view name, std::string_view mask);

}  // namespace kaviro::commands
