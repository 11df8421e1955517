#include "oru/win32_archive_file.h"

#include <algorithm>

#include "oru/archive_error.h"

namespace kaviro::oru {

Win32ArchiveFile::Win32ArchiveFile(const std::wstring& path) {
    file_ = UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            throw ArchiveError(ArchiveErrorCode::ArchiveNotFound, "archive file not found");
        }
        throw ArchiveError(ArchiveErrorCode::CannotOpen, "archive file cannot be opened");
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.Get(), &size)) {
        throw ArchiveError(ArchiveErrorCode::CannotOpen, "archive file size unreadable");
    }
    size_ = static_cast<uint64_t>(size.QuadPart);
}

size_t Win32ArchiveFile::ReadAt(uint64_t offset, uint8_t* buffer, size_t size) {
    if (offset >= size_) {
        return 0;
    }
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>({size, size_ - offset, 1u << 30}));
    DWORD read = 0;
    if (!ReadFile(file_.Get(), buffer, wanted, &read, &position)) {
        if (GetLastError() == ERROR_HANDLE_EOF) {
            return 0;
        }
        throw ArchiveError(ArchiveErrorCode::DataError, "archive file read failed");
    }
    return read;
}

}  // namespace kaviro::oru
