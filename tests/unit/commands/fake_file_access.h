#pragma once
// An in-memory file system for the listing, delete and path tests: entries in
// insertion order (the "platform's enumeration order"), names compared
// without case, files that refuse to go (held open), short names on request.

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "commands/file_access.h"
#include "commands/file_listing.h"
#include "engine/text_util.h"

namespace kaviro::commands::testing {

class FakeFileAccess final : public FileAccess {
  public:
    FakeFileAccess() = default;
    FakeFileAccess(const FakeFileAccess& other) : FileAccess(), entries_(other.Entries()) {}
    FakeFileAccess& operator=(const FakeFileAccess&) = delete;

    // A folder path ends with "\"; the parent folders must exist already.
    FakeFileAccess& Add(const std::string& path, std::string shortPath = {}, bool locked = false) {
        const bool folder = !path.empty() && path.back() == '\\';
        entries_.push_back({folder ? path.substr(0, path.size() - 1) : path, folder, std::move(shortPath), locked});
        return *this;
    }

    void Enumerate(const std::string& folder, const std::string& mask, EntryKind kind,
                   const EntryVisitor& visit) override {
        std::vector<std::string> names;
        {
            std::lock_guard guard(mutex_);
            for (const Entry& entry : entries_) {
                if (entry.folder != (kind == EntryKind::Folders)) continue;
                if (!EqualsIgnoreCase(ParentOf(entry.path), folder)) continue;
                const std::string name = NameOf(entry.path);
                if (MaskMatches(name, mask)) names.push_back(name);
            }
        }
        for (const std::string& name : names) {
            if (!visit(name)) return;
        }
    }

    bool DeleteFile(const std::string& path) override {
        std::lock_guard guard(mutex_);
        ++deleteAttempts;
        const auto entry = FindEntry(path);
        if (entry == entries_.end() || entry->folder || entry->locked) return false;
        entries_.erase(entry);
        return true;
    }

    bool RemoveFolder(const std::string& path) override {
        std::lock_guard guard(mutex_);
        const auto entry = FindEntry(path);
        if (entry == entries_.end() || !entry->folder || entry->locked) return false;
        for (const Entry& other : entries_) {
            if (EqualsIgnoreCase(ParentOf(other.path), entry->path + "\\")) return false;
        }
        entries_.erase(entry);
        return true;
    }

    bool Exists(const std::string& path) override {
        std::lock_guard guard(mutex_);
        return FindEntry(path) != entries_.end();
    }

    std::optional<std::string> ReportedName(const std::string& path) override {
        std::lock_guard guard(mutex_);
        const auto entry = FindEntry(path);
        if (entry == entries_.end()) return std::nullopt;
        return NameOf(entry->path);
    }

    std::optional<std::string> ShortPath(const std::string& path) override {
        std::lock_guard guard(mutex_);
        const auto entry = FindEntry(path);
        if (entry == entries_.end()) return std::nullopt;
        return entry->shortPath.empty() ? entry->path : entry->shortPath;
    }

    std::optional<std::string> CreateTemporaryFile(const std::string& folder, const std::string& prefix) override {
        const std::string path = folder + prefix + std::to_string(++temporaryFiles) + ".tmp";
        Add(path);
        return path;
    }

    // Every remaining path, folders without trailing backslash, in insertion order.
    std::vector<std::string> Paths() const {
        std::lock_guard guard(mutex_);
        std::vector<std::string> paths;
        for (const Entry& entry : entries_) paths.push_back(entry.path);
        return paths;
    }

    int deleteAttempts = 0;
    int temporaryFiles = 0;

  private:
    struct Entry {
        std::string path;
        bool folder;
        std::string shortPath;
        bool locked;
    };

    static std::string ParentOf(const std::string& path) {
        const std::size_t delimiter = path.find_last_of("\\:");
        return delimiter == std::string::npos ? std::string() : path.substr(0, delimiter + 1);
    }
    static std::string NameOf(const std::string& path) { return path.substr(ParentOf(path).size()); }

    std::vector<Entry>::iterator FindEntry(const std::string& path) {
        // A path may name an entry by its long or by its short form, element by element.
        return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
            return EqualsIgnoreCase(entry.path, path) || (!entry.shortPath.empty() && EqualsIgnoreCase(entry.shortPath, path));
        });
    }

    std::vector<Entry> Entries() const {
        std::lock_guard guard(mutex_);
        return entries_;
    }

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace kaviro::commands::testing
