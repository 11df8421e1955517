#include "media/seven_zip_wrap.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kaviro::media {
namespace {

// The library's C interface, as it exports it.
struct ArchiveEntry {
    const char* path;
    int64_t size;
    int64_t packedSize;
    int64_t crc;
    FILETIME modified;
    int32_t attributes;
};
static_assert(sizeof(ArchiveEntry) == 48);

struct TargetFiles {
    const char** paths;
    int32_t count;
};

using PasswordCallback = int32_t(__stdcall*)(char* buffer);
using ProgressCallback = int32_t(__stdcall*)(const char* file, int64_t done, int64_t total);
using Callback2 = int32_t(__stdcall*)(int32_t, int32_t);
using Callback10 = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                       int32_t, int32_t);
using OpenListArchiveFunction = intptr_t(__stdcall*)(const char*, int32_t, PasswordCallback, int32_t, int32_t,
                                                     int32_t, const char*, ArchiveEntry**, int32_t*);
using CloseListArchiveFunction = void(__stdcall*)(intptr_t);
using ExtractArchiveFunction = int32_t(__stdcall*)(const char*, int32_t, const char*, const TargetFiles*, int32_t,
                                                   const char*, PasswordCallback, ProgressCallback, Callback2,
                                                   Callback10);
using GetLastArchiveErrorFunction = int32_t(__stdcall*)();

constexpr size_t kPasswordBufferSize = 256;  // the library's password buffer, NUL included

// oru.lib in the folder of the running executable.
std::wstring LibraryPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            throw std::runtime_error("cannot find the folder of the running program");
        }
        if (length < buffer.size()) {
            std::wstring program(buffer.data(), length);
            const size_t slash = program.rfind(L'\\');
            return program.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + std::wstring(L"oru.lib");
        }
        buffer.resize(buffer.size() * 2);
    }
}

// oru.lib loaded from the folder of the running executable, for one call.
class ArchiveLibrary {
public:
    ArchiveLibrary() {
        const std::wstring path = LibraryPath();
        module_ = LoadLibraryW(path.c_str());
        if (module_ == nullptr) {
            throw std::runtime_error("cannot load the archive library oru.lib");
        }
        open = Function<OpenListArchiveFunction>("OpenListArchive");
        close = Function<CloseListArchiveFunction>("CloseListArchive");
        extract = Function<ExtractArchiveFunction>("ExtractArchive");
        lastError = Function<GetLastArchiveErrorFunction>("GetLastArchiveError");
    }
    ~ArchiveLibrary() { FreeLibrary(module_); }
    ArchiveLibrary(const ArchiveLibrary&) = delete;
    ArchiveLibrary& operator=(const ArchiveLibrary&) = delete;

    OpenListArchiveFunction open;
    CloseListArchiveFunction close;
    ExtractArchiveFunction extract;
    GetLastArchiveErrorFunction lastError;

private:
    template <typename FunctionType>
    FunctionType Function(const char* name) {
        const FARPROC address = GetProcAddress(module_, name);
        if (address == nullptr) {
            FreeLibrary(module_);
            throw std::runtime_error(std::string("the archive library lacks ") + name);
        }
        return reinterpret_cast<FunctionType>(reinterpret_cast<void*>(address));
    }

    HMODULE module_ = nullptr;
};

// What the callbacks answer with. The library's callbacks carry no user
// argument, so the call in progress on this thread is found here.
struct CallbackState {
    std::string password;
    bool passwordHandedOut = false;
    bool query = false;
    const ExtractionProgress* progress = nullptr;
    std::string progressFailure;  // an exception of the progress function, reported after the call
};
thread_local CallbackState* currentState = nullptr;

// Sets the thread's callback state for the duration of one library call.
class CallbackScope {
public:
    explicit CallbackScope(CallbackState& state) : previous_(currentState) { currentState = &state; }
    ~CallbackScope() { currentState = previous_; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    CallbackState* previous_;
};

int32_t __stdcall AnswerPassword(char* buffer) {
    if (currentState == nullptr || currentState->passwordHandedOut) {
        return 0;
    }
    currentState->passwordHandedOut = true;
    const size_t length = std::min(currentState->password.size(), kPasswordBufferSize - 1);
    std::memcpy(buffer, currentState->password.data(), length);
    buffer[length] = '\0';
    return 1;
}

int32_t __stdcall AnswerProgress(const char* file, int64_t done, int64_t total) {
    if (currentState == nullptr || currentState->progress == nullptr || !*currentState->progress) {
        return 1;
    }
    try {
        return (*currentState->progress)(file != nullptr ? file : "", done, total) ? 1 : 0;
    } catch (const std::exception& error) {
        // No exception may cross into the library: cancel and report it afterwards.
        currentState->progressFailure = error.what();
        return 0;
    } catch (...) {
        currentState->progressFailure = "progress report failed";
        return 0;
    }
}

int32_t __stdcall AnswerTwoArguments(int32_t, int32_t) { return 1; }

int32_t __stdcall AnswerTenArguments(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                     int32_t) {
    return currentState != nullptr && currentState->query ? 4 : 1;
}

std::string ListingErrorText(int32_t code) {
    switch (code) {
        case 1001:
            return "The archive file was not found";
        case 1002:
            return "Illegal path used in a wildcard expression";
        case 1003:
            return "The archive cannot be opened: unsupported archive or incorrect password";
        default:
            return "General failure opening archive";
    }
}

ArchiveListing ListWith(ArchiveLibrary& library, const std::string& archivePath, const std::string& password) {
    CallbackState state;
    state.password = password;
    CallbackScope scope(state);
    ArchiveListing listing;
    ArchiveEntry* entries = nullptr;
    int32_t count = 0;
    const intptr_t handle =
        library.open(archivePath.c_str(), 0, AnswerPassword, 0, 0, 0, password.c_str(), &entries, &count);
    if (handle == 0) {
        listing.error = ListingErrorText(library.lastError());
        return listing;
    }
    for (int32_t i = 0; i < count; ++i) {
        listing.paths.emplace_back(entries[i].path != nullptr ? entries[i].path : "");
    }
    library.close(handle);
    listing.ok = true;
    return listing;
}

}  // namespace

ArchiveListing ListArchive(const std::string& archivePath, const std::string& password) {
    try {
        ArchiveLibrary library;
        return ListWith(library, archivePath, password);
    } catch (const std::exception& error) {
        ArchiveListing failed;
        failed.error = error.what();
        return failed;
    }
}

ArchiveExtraction ExtractArchive(const std::string& archivePath, const std::string& password,
                                 const std::string& outputFolder, const ExtractionProgress& progress, bool query,
                                 bool keepPaths) {
    ArchiveExtraction result;
    try {
        ArchiveLibrary library;
        const ArchiveListing listing = ListWith(library, archivePath, password);
        if (!listing.ok) {
            result.error = listing.error;
            return result;
        }
        // Private NUL-terminated copies of every listed path: the whole archive.
        std::vector<std::vector<char>> copies;
        std::vector<const char*> pointers;
        copies.reserve(listing.paths.size());
        for (const std::string& path : listing.paths) {
            copies.emplace_back(path.begin(), path.end());
            copies.back().push_back('\0');
            pointers.push_back(copies.back().data());
        }
        const TargetFiles targets{pointers.data(), static_cast<int32_t>(pointers.size())};

        CallbackState state;
        state.password = password;
        state.query = query;
        state.progress = &progress;
        CallbackScope scope(state);
        const int32_t extracted =
            library.extract(archivePath.c_str(), 1, outputFolder.c_str(), &targets, keepPaths ? 0 : 1,
                            password.c_str(), AnswerPassword, AnswerProgress, AnswerTwoArguments, AnswerTenArguments);
        if (extracted == 0) {
            if (state.progressFailure.empty()) {
                result.error.assign(1, '#');
                result.error.append(std::to_string(library.lastError()));
            } else {
                result.error = state.progressFailure;
            }
            return result;
        }
        result.ok = true;
    } catch (const std::exception& error) {
        result.ok = false;
        result.error = error.what();
    }
    return result;
}

}  // namespace kaviro::media
