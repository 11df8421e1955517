#include "oru/oru_exports.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "oru/archive.h"
#include "oru/archive_error.h"
#include "oru/win32_archive_file.h"
#include "oru/win32_extraction_target.h"
#include "oru/win32_text.h"

namespace kaviro::oru {
namespace {

// The code GetLastArchiveError reports, per calling thread like GetLastError.
thread_local int32_t lastError = 0;

int32_t Fail(ArchiveErrorCode code) {
    lastError = static_cast<int32_t>(code);
    return 0;
}

// Runs an exported operation; every exception becomes an error code here.
// During listing, anything but a missing file or a bad argument means the
// archive cannot be opened.
template <typename Operation>
auto Guarded(bool listing, Operation&& operation) -> decltype(operation()) {
    const auto failWith = [&](ArchiveErrorCode code) {
        if (listing && code != ArchiveErrorCode::ArchiveNotFound && code != ArchiveErrorCode::InvalidArgument &&
            code != ArchiveErrorCode::OutOfMemory) {
            code = ArchiveErrorCode::CannotOpen;
        }
        return static_cast<decltype(operation())>(Fail(code));
    };
    try {
        return operation();
    } catch (const ArchiveError& error) {
        return failWith(error.Code());
    } catch (const std::bad_alloc&) {
        return failWith(ArchiveErrorCode::OutOfMemory);
    } catch (...) {
        return failWith(ArchiveErrorCode::GeneralFailure);  // no exception may leave the DLL
    }
}

// The password: the caller's, or else asked once through the callback.
PasswordKeys::PasswordProvider MakePasswordProvider(const char* password, PasswordCallback callback) {
    std::string given = password != nullptr ? password : "";
    return [given, callback]() -> std::optional<std::u16string> {
        if (!given.empty()) {
            return AnsiToUtf16(given.c_str());
        }
        if (callback == nullptr) {
            return std::nullopt;
        }
        char buffer[kPasswordBufferSize] = {};
        if (callback(buffer) == 0) {
            return std::nullopt;
        }
        buffer[kPasswordBufferSize - 1] = '\0';
        return AnsiToUtf16(buffer);
    };
}

std::string ListedPath(const Entry& entry) {
    std::string path = ToAnsi(entry.name);
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

bool SamePath(const std::string& listed, const char* target) {
    std::string normalized = target;
    for (char& c : normalized) {
        if (c == '/') {
            c = '\\';
        }
    }
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, listed.c_str(), -1, normalized.c_str(), -1) ==
           CSTR_EQUAL;
}

struct Listing {
    std::vector<std::string> paths;
    std::vector<ArchiveEntry> entries;
};

class CallbackObserver : public ExtractionObserver {
public:
    CallbackObserver(ProgressCallback callback, std::vector<std::string> paths, const std::vector<Entry>& entries)
        : callback_(callback), paths_(std::move(paths)), entries_(entries) {}
    bool Progress(const Entry& entry, uint64_t done, uint64_t total) override {
        if (callback_ == nullptr) {
            return true;
        }
        const size_t index = static_cast<size_t>(&entry - entries_.data());
        return callback_(paths_[index].c_str(), static_cast<int64_t>(done), static_cast<int64_t>(total)) != 0;
    }

private:
    ProgressCallback callback_;
    std::vector<std::string> paths_;
    const std::vector<Entry>& entries_;
};

}  // namespace
}  // namespace kaviro::oru

using namespace kaviro::oru;

extern "C" intptr_t __stdcall OpenListArchive(const char* archive, int32_t, PasswordCallback passwordCallback, int32_t,
                                              int32_t, int32_t, const char* password, ArchiveEntry** entries,
                                              int32_t* count) {
    return Guarded(true, [&]() -> intptr_t {
        if (archive == nullptr || entries == nullptr || count == nullptr) {
            throw ArchiveError(ArchiveErrorCode::InvalidArgument, "missing argument");
        }
        Win32ArchiveFile file(AnsiToWide(archive));
        Archive opened(file, MakePasswordProvider(password, passwordCallback));
        auto listing = std::make_unique<Listing>();
        const Database& contents = opened.Contents();
        std::vector<bool> folderSeen(contents.streams.folders.size(), false);
        for (const Entry& entry : opened.Entries()) {
            if (entry.isAnti) {
                continue;
            }
            listing->paths.push_back(ListedPath(entry));
            ArchiveEntry record{};
            record.size = static_cast<int64_t>(entry.size);
            record.crc = entry.crc ? static_cast<int64_t>(*entry.crc) : -1;
            if (entry.hasStream && !folderSeen[entry.folder]) {
                folderSeen[entry.folder] = true;
                const Folder& folder = contents.streams.folders[entry.folder];
                for (size_t i = 0; i < folder.packedInputs.size(); ++i) {
                    record.packedSize +=
                        static_cast<int64_t>(contents.streams.packStreams[folder.firstPackStream + i].size);
                }
            }
            if (entry.modified) {
                record.modified.dwLowDateTime = static_cast<DWORD>(*entry.modified);
                record.modified.dwHighDateTime = static_cast<DWORD>(*entry.modified >> 32);
            }
            record.attributes = static_cast<int32_t>(entry.attributes.value_or(0) & 0x7FFF) |
                                (entry.isDirectory ? FILE_ATTRIBUTE_DIRECTORY : 0);
            listing->entries.push_back(record);
        }
        for (size_t i = 0; i < listing->entries.size(); ++i) {
            listing->entries[i].path = listing->paths[i].c_str();
        }
        *entries = listing->entries.data();
        *count = static_cast<int32_t>(listing->entries.size());
        // The caller owns the listing until CloseListArchive.
        return reinterpret_cast<intptr_t>(listing.release());
    });
}

extern "C" void __stdcall CloseListArchive(intptr_t handle) {
    // Takes back the ownership handed out by OpenListArchive.
    std::unique_ptr<Listing> listing(reinterpret_cast<Listing*>(handle));
}

extern "C" int32_t __stdcall ExtractArchive(const char* archive, int32_t, const char* outputFolder,
                                            const TargetFiles* targets, int32_t pathMode, const char* password,
                                            PasswordCallback passwordCallback, ProgressCallback progressCallback,
                                            Callback2 callback2, Callback10 callback10) {
    return Guarded(false, [&]() -> int32_t {
        if (archive == nullptr || outputFolder == nullptr) {
            throw ArchiveError(ArchiveErrorCode::InvalidArgument, "missing argument");
        }
        if (targets != nullptr && targets->count > 0 && targets->paths == nullptr) {
            throw ArchiveError(ArchiveErrorCode::IllegalTargetPath, "target list without paths");
        }
        Win32ArchiveFile file(AnsiToWide(archive));
        Archive opened(file, MakePasswordProvider(password, passwordCallback));
        const std::vector<Entry>& entries = opened.Entries();
        std::vector<std::string> paths;
        for (const Entry& entry : entries) {
            paths.push_back(ListedPath(entry));
        }

        // Without targets the whole archive is extracted.
        std::vector<bool> selected(entries.size(), targets == nullptr || targets->count <= 0);
        if (!selected.empty() && !selected[0]) {
            for (int32_t t = 0; t < targets->count; ++t) {
                const char* target = targets->paths[t];
                if (target == nullptr || *target == '\0') {
                    throw ArchiveError(ArchiveErrorCode::IllegalTargetPath, "empty target path");
                }
                for (size_t i = 0; i < entries.size(); ++i) {
                    if (!selected[i] && SamePath(paths[i], target)) {
                        selected[i] = true;
                    }
                }
            }
        }
        if (callback2 != nullptr &&
            callback2(static_cast<int32_t>(std::count(selected.begin(), selected.end(), true)), 0) == 0) {
            throw ArchiveError(ArchiveErrorCode::Cancelled, "extraction cancelled");
        }

        bool overwriteAll = false;
        bool skipAll = false;
        Win32ExtractionTarget target(AnsiToWide(outputFolder), [&](const std::wstring&) {
            if (overwriteAll || callback10 == nullptr) {
                return ExistingFileDecision::Overwrite;
            }
            if (skipAll) {
                return ExistingFileDecision::Skip;
            }
            const int32_t answer = callback10(0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
            switch (answer) {
                case kQueryCancel:
                    throw ArchiveError(ArchiveErrorCode::Cancelled, "extraction cancelled");
                case kQuerySkipAll:
                    skipAll = true;
                    return ExistingFileDecision::Skip;
                case kQuerySkip:
                    return ExistingFileDecision::Skip;
                case kQueryOverwriteAll:
                    overwriteAll = true;
                    return ExistingFileDecision::Overwrite;
                default:
                    return ExistingFileDecision::Overwrite;
            }
        });
        CallbackObserver observer(progressCallback, std::move(paths), entries);
        opened.Extract(selected, pathMode == 0 ? PathMode::FullPaths : PathMode::NoPaths, target, observer);
        return 1;
    });
}

extern "C" int32_t __stdcall GetLastArchiveError(void) { return lastError; }
