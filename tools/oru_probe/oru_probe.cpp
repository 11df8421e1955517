// Test probe for oru.lib, run under Wine by the end-to-end tests. It drives
// the library through the engine's wrapper and, for what the wrapper does
// not expose, through the raw exports, and prints what happened.
//
//   oru_probe list ARCHIVE [PASSWORD]
//   oru_probe extract ARCHIVE FOLDER [--password P] [--flat] [--cancel-after N]
//   oru_probe ask-password ARCHIVE FOLDER PASSWORD   (password only through the callback)
//   oru_probe entry-layout ARCHIVE                   (prints the listed records' fields)
//   oru_probe attributes PATH...                     (prints each path's attributes and last write time)

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "media/seven_zip_wrap.h"

namespace {

using kaviro::media::ArchiveExtraction;
using kaviro::media::ArchiveListing;

int List(const std::string& archive, const std::string& password) {
    const ArchiveListing listing = kaviro::media::ListArchive(archive, password);
    if (!listing.ok) {
        std::printf("ERROR %s\n", listing.error.c_str());
        return 1;
    }
    std::printf("OK %zu\n", listing.paths.size());
    for (const std::string& path : listing.paths) {
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

int Extract(int argc, char** argv) {
    const std::string archive = argv[2];
    const std::string folder = argv[3];
    std::string password;
    bool keepPaths = true;
    long cancelAfter = -1;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--password" && i + 1 < argc) {
            password = argv[++i];
        } else if (option == "--flat") {
            keepPaths = false;
        } else if (option == "--cancel-after" && i + 1 < argc) {
            cancelAfter = std::strtol(argv[++i], nullptr, 10);
        }
    }
    long calls = 0;
    int64_t lastDone = -1;
    int64_t lastTotal = -1;
    bool monotonic = true;
    const ArchiveExtraction result = kaviro::media::ExtractArchive(
        archive, password, folder,
        [&](const std::string&, int64_t done, int64_t total) {
            ++calls;
            monotonic = monotonic && done >= lastDone && done <= total;
            lastDone = done;
            lastTotal = total;
            return cancelAfter < 0 || calls <= cancelAfter;
        },
        true, keepPaths);
    std::printf("progress calls=%ld done=%lld total=%lld monotonic=%d\n", calls, static_cast<long long>(lastDone),
                static_cast<long long>(lastTotal), monotonic ? 1 : 0);
    if (!result.ok) {
        std::printf("ERROR %s\n", result.error.c_str());
        return 1;
    }
    std::printf("OK\n");
    return 0;
}

// The raw exports, for the cases the wrapper does not reach.
struct RawEntry {
    const char* path;
    int64_t size;
    int64_t packedSize;
    int64_t crc;
    FILETIME modified;
    int32_t attributes;
};
using PasswordCallback = int32_t(__stdcall*)(char*);
using OpenListArchiveFunction = intptr_t(__stdcall*)(const char*, int32_t, PasswordCallback, int32_t, int32_t,
                                                     int32_t, const char*, RawEntry**, int32_t*);
using CloseListArchiveFunction = void(__stdcall*)(intptr_t);
using ExtractArchiveFunction = int32_t(__stdcall*)(const char*, int32_t, const char*, const void*, int32_t,
                                                   const char*, PasswordCallback, void*, void*, void*);
using GetLastArchiveErrorFunction = int32_t(__stdcall*)();

std::string callbackPassword;
int passwordCalls = 0;

int32_t __stdcall GivePassword(char* buffer) {
    ++passwordCalls;
    std::strcpy(buffer, callbackPassword.c_str());
    return 1;
}

template <typename FunctionType>
FunctionType Export(HMODULE module, const char* name) {
    return reinterpret_cast<FunctionType>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HMODULE LoadArchiveLibrary() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, "oru.lib");
    return LoadLibraryA(path);
}

int AskPassword(const std::string& archive, const std::string& folder, const std::string& password) {
    const HMODULE module = LoadArchiveLibrary();
    if (module == nullptr) {
        std::printf("ERROR cannot load oru.lib\n");
        return 1;
    }
    callbackPassword = password;
    auto extract = Export<ExtractArchiveFunction>(module, "ExtractArchive");
    auto lastError = Export<GetLastArchiveErrorFunction>(module, "GetLastArchiveError");
    const int32_t result =
        extract(archive.c_str(), 1, folder.c_str(), nullptr, 0, nullptr, GivePassword, nullptr, nullptr, nullptr);
    std::printf("result=%d error=%d passwordCalls=%d\n", result, result != 0 ? 0 : lastError(), passwordCalls);
    FreeLibrary(module);
    return result != 0 ? 0 : 1;
}

int EntryLayout(const std::string& archive) {
    const HMODULE module = LoadArchiveLibrary();
    if (module == nullptr) {
        std::printf("ERROR cannot load oru.lib\n");
        return 1;
    }
    auto open = Export<OpenListArchiveFunction>(module, "OpenListArchive");
    auto close = Export<CloseListArchiveFunction>(module, "CloseListArchive");
    RawEntry* entries = nullptr;
    int32_t count = 0;
    const intptr_t handle = open(archive.c_str(), 0, nullptr, 0, 0, 0, "", &entries, &count);
    std::printf("handle=%d count=%d record=%zu\n", handle != 0 ? 1 : 0, count, sizeof(RawEntry));
    for (int32_t i = 0; i < count; ++i) {
        std::printf("%s|%lld|%08x\n", entries[i].path, static_cast<long long>(entries[i].size),
                    static_cast<unsigned>(entries[i].attributes));
    }
    if (handle != 0) {
        close(handle);
    }
    FreeLibrary(module);
    return handle != 0 ? 0 : 1;
}

// What a Windows program sees of extracted items: attributes and last write time.
int Attributes(int argc, char** argv) {
    int missing = 0;
    for (int i = 2; i < argc; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(argv[i], GetFileExInfoStandard, &data)) {
            std::printf("%s|missing\n", argv[i]);
            ++missing;
            continue;
        }
        const uint64_t written =
            static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
        std::printf("%s|%08lx|%llu\n", argv[i], static_cast<unsigned long>(data.dwFileAttributes),
                    static_cast<unsigned long long>(written));
    }
    return missing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "list" && argc >= 3) {
        return List(argv[2], argc > 3 ? argv[3] : "");
    }
    if (command == "extract" && argc >= 4) {
        return Extract(argc, argv);
    }
    if (command == "ask-password" && argc == 5) {
        return AskPassword(argv[2], argv[3], argv[4]);
    }
    if (command == "entry-layout" && argc == 3) {
        return EntryLayout(argv[2]);
    }
    if (command == "attributes" && argc >= 3) {
        return Attributes(argc, argv);
    }
    std::fprintf(stderr, "usage: oru_probe list|extract|ask-password|entry-layout|attributes ...\n");
    return 2;
}
