#include "commands/file_paths_win32.h"

#include <windows.h>

#include <array>
#include <vector>

#include "platform/wide_text.h"

namespace kaviro::commands {

std::wstring ToWide(std::string_view text, unsigned codePage) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::optional<std::string> ExactAnsi(std::wstring_view wide) {
    if (wide.empty()) return std::string();
    // Without WC_NO_BEST_FIT_CHARS the conversion quietly maps characters to
    // look-alikes (an omega to "O"), giving a name that does not exist.
    constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, kFlags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, kFlags, wide.data(), static_cast<int>(wide.size()), ansi.data(), length, nullptr,
                        &usedDefault);
    if (usedDefault) return std::nullopt;
    return ansi;
}

std::optional<std::string> ShortPathOf(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring buffer(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed) return std::nullopt;
    buffer.resize(length);
    return platform::Narrow(buffer);
}

std::optional<std::string> ShortPathOf(const std::string& path) { return ShortPathOf(platform::Widen(path)); }

std::string LongName(const std::string& path, bool find) {
    if (find) {
        WIN32_FIND_DATAA entry{};
        const HANDLE search = FindFirstFileA(path.c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) return {};
        FindClose(search);
        return entry.cFileName;
    }
    const DWORD needed = GetLongPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::string buffer(needed, '\0');
    const DWORD length = GetLongPathNameA(path.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed) return {};
    buffer.resize(length);
    return buffer;
}

bool WideFileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(platform::Widen(path).c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

uint64_t FreeBytes(const std::string& path) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) return 0;
    return available.QuadPart;
}

std::string ModulePath(void* module) {
    std::array<char, MAX_PATH> narrow{};
    const DWORD length =
        GetModuleFileNameA(static_cast<HMODULE>(module), narrow.data(), static_cast<DWORD>(narrow.size()));
    std::string path(narrow.data(), length);
    if (path.find('?') == std::string::npos) return path;
    std::vector<wchar_t> wide(32768);
    const DWORD wideLength =
        GetModuleFileNameW(static_cast<HMODULE>(module), wide.data(), static_cast<DWORD>(wide.size()));
    if (wideLength == 0 || wideLength >= wide.size()) return path;
    return ShortPathOf(std::wstring(wide.data(), wideLength)).value_or(path);
}

bool DeleteOnReboot(const std::string& path) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool nt = !GetVersionExA(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    if (nt) return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    std::array<char, MAX_PATH> windows{};
    const UINT length = GetWindowsDirectoryA(windows.data(), static_cast<UINT>(windows.size()));
    if (length == 0 || length >= windows.size()) return false;
    std::string iniPath(windows.data(), length);
    if (iniPath.back() != '\\') iniPath += '\\';
    iniPath += "wininit.ini";
    const std::string shortPath = ShortPathOf(path).value_or(path);
    return WritePrivateProfileStringA("Rename", "NUL", shortPath.c_str(), iniPath.c_str()) != 0;
}

}  // namespace kaviro::commands
