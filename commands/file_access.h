#pragma once
// The file system as the listing, delete and path utilities see it. Paths are
// the engine's ANSI text with backslashes; the native build reads them as
// slashes. The platform's implementation is stateless and may be used from
// worker threads; tests give the utilities a fake.

#include <functional>
#include <optional>
#include <string>

namespace kaviro::commands {

enum class EntryKind { Files, Folders };

// Receives one entry name; returns false to stop the enumeration.
using EntryVisitor = std::function<bool(const std::string& name)>;

class FileAccess {
public:
    virtual ~FileAccess() = default;

    // The names of the entries that match the mask in a folder (the folder
    // text ends with its delimiter, or is empty for the current folder), in
    // the platform's enumeration order; files or subfolders, never "." and
    // "..". A name the ANSI code page cannot represent comes as its short form.
    virtual void Enumerate(const std::string& folder, const std::string& mask, EntryKind kind,
                           const EntryVisitor& visit) = 0;
    // Clears the attributes of a file and deletes it; false when it stays.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Removes an empty folder; false when it stays.
    virtual bool RemoveFolder(const std::string& path) = 0;
    // A file or folder of that path exists.
    virtual bool Exists(const std::string& path) = 0;
    // The name the file system reports for the last element of an existing path.
    virtual std::optional<std::string> ReportedName(const std::string& path) = 0;
    // The short (8.3) form of an existing path.
    virtual std::optional<std::string> ShortPath(const std::string& path) = 0;
    // A new, empty, uniquely named file in the folder whose name starts with
    // the prefix; its full path.
    virtual std::optional<std::string> CreateTemporaryFile(const std::string& folder, const std::string& prefix) = 0;
};

// The platform's file system.
FileAccess& PlatformFileAccess();

}  // namespace kaviro::commands
