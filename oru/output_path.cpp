#include "oru/output_path.h"

namespace kaviro::oru {
namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";
constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "X:\" at `at`.
bool HasDriveRoot(const std::wstring& path, size_t at) {
    return path.size() >= at + 3 && IsDriveLetter(path[at]) && path[at + 1] == L':' && path[at + 2] == L'\\';
}

// The end of "server\share\" starting at `at` (past the share's backslash, or
// the path's end when nothing follows the share).
size_t ServerShareEnd(const std::wstring& path, size_t at) {
    const size_t server = path.find(L'\\', at);
    if (server == std::wstring::npos) {
        return path.size();
    }
    const size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& absolutePath) {
    if (StartsWith(absolutePath, kExtendedPrefix) || StartsWith(absolutePath, kDevicePrefix)) {
        return absolutePath;
    }
    if (HasDriveRoot(absolutePath, 0)) {
        return kExtendedPrefix + absolutePath;
    }
    if (StartsWith(absolutePath, L"\\\\") && absolutePath.size() > 2) {
        return kExtendedUncPrefix + absolutePath.substr(2);
    }
    return absolutePath;
}

size_t PathRootLength(const std::wstring& path) {
    if (StartsWith(path, kExtendedUncPrefix)) {
        return ServerShareEnd(path, std::size(kExtendedUncPrefix) - 1);
    }
    if (StartsWith(path, kExtendedPrefix)) {
        const size_t at = std::size(kExtendedPrefix) - 1;
        return HasDriveRoot(path, at) ? at + 3 : ServerShareEnd(path, at);
    }
    if (HasDriveRoot(path, 0)) {
        return 3;
    }
    if (StartsWith(path, L"\\\\")) {
        return ServerShareEnd(path, 2);
    }
    return 0;
}

}  // namespace kaviro::oru
