#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>

#include "engine/engine_error.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace kaviro::platform {
namespace {

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str());
}

UniqueFileHandle OpenForReading(const std::string& path) {
    UniqueFileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowLastError("Cannot open file " + path);
    return file;
}

uint64_t SizeOf(HANDLE file, const std::string& path) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        ThrowLastError("Cannot read the size of " + path);
    return static_cast<uint64_t>(size.QuadPart);
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t FileSize(const std::string& path) {
    const UniqueFileHandle file = OpenForReading(path);
    return SizeOf(file.Get(), path);
}

std::vector<uint8_t> ReadFileFrom(const std::string& path, uint64_t offset) {
    const UniqueFileHandle file = OpenForReading(path);
    const uint64_t size = SizeOf(file.Get(), path);
    if (offset >= size)
        return {};
    if (size - offset > 0x7FFFFFFF)
        throw EngineError("File too large to read: " + path);
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN))
        ThrowLastError("Cannot seek in " + path);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size - offset));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
        if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr))
            ThrowLastError("Cannot read " + path);
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    return ReadFileFrom(path, 0);
}

void WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
    UniqueFileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowLastError("Cannot create file " + path);
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1 << 24));
        if (!WriteFile(file.Get(), bytes + done, chunk, &written, nullptr) || written == 0) {
            ThrowLastError("Cannot write file " + path);
        }
        done += written;
    }
}

bool CreateFolder(const std::string& path) {
    if (CreateDirectoryW(Widen(path).c_str(), nullptr))
        return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
    ThrowLastError("Cannot create folder " + path);
}

void CreateFolderTree(const std::string& path) {
    std::string folder(path);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    if (folder.empty() || FolderExists(folder))
        return;
    const std::size_t separator = folder.find_last_of("\\/");
    if (separator != std::string::npos && separator > 0 && folder[separator - 1] != ':') {
        CreateFolderTree(folder.substr(0, separator));
    }
    CreateFolder(folder);
}

void CopyFileOverwriting(const std::string& source, const std::string& target) {
    if (!CopyFileW(Widen(source).c_str(), Widen(target).c_str(), FALSE)) {
        ThrowLastError("Cannot copy " + source + " to " + target);
    }
}

void SetNormalAttributes(const std::string& path) {
    if (!SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL)) {
        ThrowLastError("Cannot set the attributes of " + path);
    }
}

bool DeleteFileIfPresent(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (DeleteFileW(wide.c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void DeleteFolderContents(const std::string& folder) {
    const std::wstring base = Widen(WithTrailingBackslash(folder));
    WIN32_FIND_DATAW entry;
    UniqueFindHandle search(FindFirstFileW((base + L"*").c_str(), &entry));
    if (!search)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring full = base + name;
        // Removal is best effort: the caller repeats the sweep and an entry
        // held open by another process must not stop the rest of the cleanup.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            SetFileAttributesW(full.c_str(), entry.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            DeleteFolderContents(Narrow(full));
            RemoveDirectoryW(full.c_str());
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(full.c_str());
        } else {
            DeleteFileW(full.c_str());
        }
    } while (FindNextFileW(search.Get(), &entry));
}

bool RemoveFolder(const std::string& folder) {
    std::string path(folder);
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return RemoveDirectoryW(Widen(path).c_str()) || !FolderExists(path);
}

std::string FolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator + 1));
}

std::string FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string BaseNameOf(std::string_view path) {
    std::string name = FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string WithTrailingBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() || (result.back() != '\\' && result.back() != '/'))
        result += '\\';
    return result;
}

std::string TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
    if (length == 0 || length > MAX_PATH + 1)
        ThrowLastError("Cannot find the temporary folder");
    return WithTrailingBackslash(Narrow(std::wstring_view(buffer, length)));
}

std::string ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            ThrowLastError("Cannot find the path of the running program");
        if (length < buffer.size())
            return Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace kaviro::platform
