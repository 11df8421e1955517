// The Windows side of the component commands: the WOW64 file-system
// redirection switch, free bytes of a drive, folder creation.

#include <windows.h>

#include "installer/component_platform.h"

namespace kaviro::installer {
namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
using DisableRedirectionFunction = BOOL(WINAPI*)(PVOID*);
using RevertRedirectionFunction = BOOL(WINAPI*)(PVOID);

template <class Function>
Function Kernel32Function(const char* name) {
    // Looked up at run time: systems before 64-bit Windows lack these functions.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

bool RunsUnderWow64() {
    const auto isWow64 = Kernel32Function<IsWow64ProcessFunction>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

class Wow64Redirection final : public FileSystemRedirection {
  public:
    explicit Wow64Redirection(const std::string& mode) : mode_(mode) {}
    ~Wow64Redirection() override { Restore(); }
    Wow64Redirection(const Wow64Redirection&) = delete;
    Wow64Redirection& operator=(const Wow64Redirection&) = delete;

    void SwitchOff() override {
        if (switchedOff_ || mode_ == "Win32" || !RunsUnderWow64())
            return;
        const auto disable = Kernel32Function<DisableRedirectionFunction>("Wow64DisableWow64FsRedirection");
        switchedOff_ = disable && disable(&previous_);
    }
    void Restore() override {
        if (!switchedOff_)
            return;
        if (const auto revert = Kernel32Function<RevertRedirectionFunction>("Wow64RevertWow64FsRedirection"))
            revert(previous_);
        switchedOff_ = false;
    }

  private:
    const std::string& mode_;
    PVOID previous_ = nullptr;
    bool switchedOff_ = false;
};

// "C:\" of a drive path, "\\server\share\" of a network path, else the path.
std::string VolumeRootOf(const std::string& folder) {
    if (folder.size() >= 2 && folder[1] == ':')
        return folder.substr(0, 2) + "\\";
    if (folder.rfind("\\\\", 0) == 0) {
        const std::size_t server = folder.find('\\', 2);
        if (server == std::string::npos)
            return folder + "\\";
        const std::size_t share = folder.find('\\', server + 1);
        return share == std::string::npos ? folder + "\\" : folder.substr(0, share + 1);
    }
    return folder;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::unique_ptr<FileSystemRedirection> MakeFileSystemRedirection(const std::string& sixtyFourBitMode) {
    return std::make_unique<Wow64Redirection>(sixtyFourBitMode);
}

FreeBytesProbe SystemFreeBytesProbe() {
    return [](const std::string& folder) -> int64_t {
        ULARGE_INTEGER available{};
        if (!GetDiskFreeSpaceExA(VolumeRootOf(folder).c_str(), &available, nullptr, nullptr))
            return 0;
        return static_cast<int64_t>(available.QuadPart);
    };
}

bool EnsureFolder(const std::string& path) {
    // Each level from the root down; levels that exist already fail harmlessly.
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || ((path[i] == '\\' || path[i] == '/') && i > 0 && path[i - 1] != ':' &&
                                 path[i - 1] != '\\')) {
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        }
    }
    return FolderExists(path);
}

}  // namespace kaviro::installer
