#include <windows.h>

#include <array>
#include <vector>

#include "commands/file_access.h"
#include "commands/file_paths_win32.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"

namespace kaviro::commands {

namespace {

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// The entry's name as ANSI text, or its short form when the ANSI code page
// cannot represent it.
std::string EntryName(const WIN32_FIND_DATAW& entry) {
    if (auto name = ExactAnsi(entry.cFileName)) return *name;
    if (entry.cAlternateFileName[0] != L'\0') return platform::Narrow(entry.cAlternateFileName);
    return platform::Narrow(entry.cFileName);
}

class Win32FileAccess final : public FileAccess {
  public:
    void Enumerate(const std::string& folder, const std::string& mask, EntryKind kind,
                   const EntryVisitor& visit) override {
        WIN32_FIND_DATAW entry{};
        const platform::UniqueFindHandle search(FindFirstFileW(platform::Widen(folder + mask).c_str(), &entry));
        if (!search) return;
        do {
            if (IsDotEntry(entry.cFileName)) continue;
            const bool folderEntry = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (folderEntry != (kind == EntryKind::Folders)) continue;
            if (!visit(EntryName(entry))) return;
        } while (FindNextFileW(search.Get(), &entry));
    }

    bool DeleteFile(const std::string& path) override {
        const std::wstring wide = platform::Widen(path);
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(wide.c_str()) != 0;
    }

    bool RemoveFolder(const std::string& path) override {
        return RemoveDirectoryW(platform::Widen(path).c_str()) != 0;
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesW(platform::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::optional<std::string> ReportedName(const std::string& path) override {
        // A wildcard would name some other entry.
        if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
        WIN32_FIND_DATAW entry{};
        const platform::UniqueFindHandle search(FindFirstFileW(platform::Widen(path).c_str(), &entry));
        if (!search) return std::nullopt;
        return EntryName(entry);
    }

    std::optional<std::string> ShortPath(const std::string& path) override { return ShortPathOf(path); }

    std::optional<std::string> CreateTemporaryFile(const std::string& folder, const std::string& prefix) override {
        std::array<char, MAX_PATH + 1> buffer{};
        if (GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer.data()) == 0) return std::nullopt;
        return std::string(buffer.data());
    }
};

}  // namespace

FileAccess& PlatformFileAccess() {
    static Win32FileAccess files;
    return files;
}

}  // namespace kaviro::commands
