#include "oru/win32_extraction_target.h"

#include <windows.h>

#include "oru/archive_error.h"
#include "oru/output_path.h"
#include "oru/win32_handle.h"

namespace kaviro::oru {
namespace {

constexpr wchar_t kPartialSuffix[] = L".oru-partial";
// Attributes worth restoring; archives made on Unix put the file mode in the
// high 16 bits, which is masked off here along with the rest.
constexpr DWORD kRestoredAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

[[noreturn]] void ThrowWriteFailed(const char* what, const std::wstring&) {
    throw ArchiveError(ArchiveErrorCode::WriteFailed, what);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FILETIME ToFileTime(uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

class Win32OutputFile : public OutputFile {
public:
    Win32OutputFile(std::wstring finalPath, std::wstring partialPath, const Entry& entry)
        : finalPath_(std::move(finalPath)), partialPath_(std::move(partialPath)), entry_(entry) {
        file_ = UniqueHandle(CreateFileW(partialPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_.Valid()) {
            ThrowWriteFailed("cannot create an output file", partialPath_);
        }
    }
    ~Win32OutputFile() override {
        if (!committed_) {
            file_.Reset();
            DeleteFileW(partialPath_.c_str());  // best effort: nothing more can be done in a destructor
        }
    }
    void Write(const uint8_t* data, size_t size) override {
        while (size != 0) {
            const DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
            DWORD written = 0;
            if (!WriteFile(file_.Get(), data, chunk, &written, nullptr) || written != chunk) {
                ThrowWriteFailed("cannot write an output file", partialPath_);
            }
            data += chunk;
            size -= chunk;
        }
    }
    void Commit() override {
        if (entry_.modified) {
            const FILETIME time = ToFileTime(*entry_.modified);
            SetFileTime(file_.Get(), nullptr, nullptr, &time);  // a missing time is not worth failing for
        }
        file_.Reset();
        // An existing file of the same name is replaced, read-only or not.
        const DWORD existing = GetFileAttributesW(finalPath_.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
            SetFileAttributesW(finalPath_.c_str(), existing & ~DWORD{FILE_ATTRIBUTE_READONLY});
        }
        if (!MoveFileExW(partialPath_.c_str(), finalPath_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            ThrowWriteFailed("cannot move an output file into place", finalPath_);
        }
        committed_ = true;
        if (entry_.attributes && (*entry_.attributes & kRestoredAttributes) != 0) {
            SetFileAttributesW(finalPath_.c_str(), *entry_.attributes & kRestoredAttributes);
        }
    }

private:
    std::wstring finalPath_;
    std::wstring partialPath_;
    const Entry& entry_;
    UniqueHandle file_;
    bool committed_ = false;
};

}  // namespace

void CreateFolders(const std::wstring& path) {
    if (path.empty() || IsFolder(path)) {
        return;
    }
    // Create each missing parent below the root (drive, share or their
    // extended-length forms), which is never created.
    for (size_t at = path.find(L'\\', PathRootLength(path)); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);  // existing parents fail harmlessly
    }
    CreateDirectoryW(path.c_str(), nullptr);
    if (!IsFolder(path)) {
        ThrowWriteFailed("cannot create a folder", path);
    }
}

Win32ExtractionTarget::Win32ExtractionTarget(const std::wstring& outputFolder, ExistingFileQuery query)
    : query_(std::move(query)) {
    std::wstring folder = outputFolder;
    for (wchar_t& c : folder) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    // Absolute and in the extended-length form, so that entry paths below it
    // may exceed MAX_PATH. That form takes no "." or ".." and no relative
    // part, which GetFullPathNameW resolves first.
    const DWORD needed = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    if (folder.empty() || needed == 0) {
        ThrowWriteFailed("cannot resolve the output folder", folder);
    }
    std::wstring absolute(needed, L'\0');
    const DWORD length = GetFullPathNameW(folder.c_str(), needed, absolute.data(), nullptr);
    if (length == 0 || length >= needed) {
        ThrowWriteFailed("cannot resolve the output folder", folder);
    }
    absolute.resize(length);
    outputFolder_ = ExtendedLengthPath(absolute);
    while (outputFolder_.size() > PathRootLength(outputFolder_) && outputFolder_.back() == L'\\') {
        outputFolder_.pop_back();
    }
    CreateFolders(outputFolder_);
}

std::wstring Win32ExtractionTarget::FullPath(const std::u16string& path) const {
    std::wstring full = outputFolder_;
    if (full.empty() || full.back() != L'\\') {
        full.push_back(L'\\');
    }
    for (char16_t c : path) {
        full.push_back(c == u'/' ? L'\\' : static_cast<wchar_t>(c));
    }
    return full;
}

void Win32ExtractionTarget::CreateFolder(const std::u16string& path, const Entry&) { CreateFolders(FullPath(path)); }

void Win32ExtractionTarget::FinishFolder(const std::u16string& path, const Entry& entry) {
    const std::wstring full = FullPath(path);
    // Like a file's, a folder's stored time and attributes are best effort:
    // a file system that cannot keep them is no reason to fail the extraction.
    if (entry.modified) {
        // Folders open only with backup semantics; writing attributes is all the handle needs.
        UniqueHandle folder(CreateFileW(full.c_str(), FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (folder.Valid()) {
            const FILETIME time = ToFileTime(*entry.modified);
            SetFileTime(folder.Get(), nullptr, nullptr, &time);
        }
    }
    if (entry.attributes && (*entry.attributes & kRestoredAttributes) != 0) {
        SetFileAttributesW(full.c_str(), *entry.attributes & kRestoredAttributes);
    }
}

std::unique_ptr<OutputFile> Win32ExtractionTarget::CreateOutputFile(const std::u16string& path, const Entry& entry) {
    const std::wstring full = FullPath(path);
    const size_t slash = full.rfind(L'\\');
    CreateFolders(full.substr(0, slash));
    const DWORD existing = GetFileAttributesW(full.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0 && query_ &&
        query_(full) == ExistingFileDecision::Skip) {
        return nullptr;
    }
    // The file is written under a short name of its own in the same folder,
    // so a finished name near the file system's length limit still fits;
    // process, target and sequence keep parallel extractions apart.
    std::wstring partial = full.substr(0, slash + 1) + L"~" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                           std::to_wstring(reinterpret_cast<uintptr_t>(this)) + L"-" +
                           std::to_wstring(++partialSequence_) + kPartialSuffix;
    return std::make_unique<Win32OutputFile>(full, std::move(partial), entry);
}

}  // namespace kaviro::oru
