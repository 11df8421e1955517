#include "oru/win32_extraction_target.h"

#include <windows.h>

#include "oru/archive_error.h"
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

class Win32OutputFile : public OutputFile {
public:
    Win32OutputFile(std::wstring finalPath, const Entry& entry)
        : finalPath_(std::move(finalPath)), partialPath_(finalPath_ + kPartialSuffix), entry_(entry) {
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
            FILETIME time;
            time.dwLowDateTime = static_cast<DWORD>(*entry_.modified);
            time.dwHighDateTime = static_cast<DWORD>(*entry_.modified >> 32);
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
    // Create each missing parent, skipping a drive ("C:") or UNC ("\\server\share") prefix.
    size_t start = 0;
    if (path.size() >= 2 && path[1] == L':') {
        start = 3;
    } else if (path.rfind(L"\\\\", 0) == 0) {
        start = path.find(L'\\', path.find(L'\\', 2) + 1);
        start = start == std::wstring::npos ? path.size() : start + 1;
    }
    for (size_t at = path.find(L'\\', start); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);  // existing parents fail harmlessly
    }
    CreateDirectoryW(path.c_str(), nullptr);
    if (!IsFolder(path)) {
        ThrowWriteFailed("cannot create a folder", path);
    }
}

Win32ExtractionTarget::Win32ExtractionTarget(std::wstring outputFolder, ExistingFileQuery query)
    : outputFolder_(std::move(outputFolder)), query_(std::move(query)) {
    for (wchar_t& c : outputFolder_) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    while (outputFolder_.size() > 1 && outputFolder_.back() == L'\\' &&
           !(outputFolder_.size() == 3 && outputFolder_[1] == L':')) {
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

std::unique_ptr<OutputFile> Win32ExtractionTarget::CreateOutputFile(const std::u16string& path, const Entry& entry) {
    const std::wstring full = FullPath(path);
    const size_t slash = full.rfind(L'\\');
    CreateFolders(full.substr(0, slash));
    const DWORD existing = GetFileAttributesW(full.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0 && query_ &&
        query_(full) == ExistingFileDecision::Skip) {
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(full, entry);
}

}  // namespace kaviro::oru
