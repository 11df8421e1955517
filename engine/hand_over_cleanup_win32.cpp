// The folder work of the hand-over cleanups on Windows.

#include <windows.h>
// after windows.h, which it needs
#include <winioctl.h>

#include "engine/hand_over_cleanup.h"
#include "platform/file_system.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"

namespace kaviro {

namespace {

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == 0) || (name[0] == L'.' && name[1] == L'.' && name[2] == 0);
}

}  // namespace

std::vector<std::string> SubfolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    const std::wstring pattern = platform::Widen(platform::WithTrailingBackslash(folder)) + L"*";
    const platform::UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search)
        return names;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName))
            names.push_back(platform::Narrow(entry.cFileName));
    } while (FindNextFileW(search.Get(), &entry));
    return names;
}

void DeleteFolderTree(const std::string& folder) {
    platform::DeleteFolderContents(folder);
    // What could not be emptied stays; the run is over and nobody waits for it.
    (void)platform::RemoveFolder(folder);
}

void MarkCacheFolder(const std::string& folder, bool compress) {
    const std::wstring path = platform::Widen(folder);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    // Both marks are cosmetic for the cache: failures are ignored.
    (void)SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    if (!compress)
        return;
    const platform::UniqueFileHandle handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return;
    USHORT format = COMPRESSION_FORMAT_DEFAULT;
    DWORD returned = 0;
    (void)DeviceIoControl(handle.Get(), FSCTL_SET_COMPRESSION, &format, sizeof format, nullptr, 0, &returned,
                          nullptr);
}

}  // namespace kaviro
