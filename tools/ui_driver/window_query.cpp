#include "tools/ui_driver/window_query.h"

#include <cstdio>

namespace kaviro::ui_driver {
namespace {

std::wstring InternalText(HWND window) {
    wchar_t buffer[4096];
    const int length = InternalGetWindowText(window, buffer, 4096);
    return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

struct Search {
    const std::wstring* className;
    const std::optional<std::wstring>* caption;
    std::vector<WindowInfo>* found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    const auto& search = *reinterpret_cast<Search*>(parameter);
    if (!search.className->empty() &&
        CompareStringOrdinal(ClassOf(window).c_str(), -1, search.className->c_str(), -1, TRUE) !=
            CSTR_EQUAL) {
        return TRUE;
    }
    if (*search.caption && CompareStringOrdinal(InternalText(window).c_str(), -1, (*search.caption)->c_str(),
                                                -1, TRUE) != CSTR_EQUAL) {
        return TRUE;
    }
    search.found->push_back(Describe(window, false));
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<WindowInfo>*>(parameter)->push_back(Describe(window, true));
    return TRUE;
}

}  // namespace

WindowInfo Describe(HWND window, bool asControl) {
    WindowInfo info;
    info.handle = window;
    info.className = ClassOf(window);
    info.text = InternalText(window);
    GetWindowRect(window, &info.bounds);
    GetClientRect(window, &info.clientArea);
    if (asControl) {
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&info.bounds), 2);
        info.controlId = GetDlgCtrlID(window);
    }
    info.visible = IsWindowVisible(window);
    GetWindowThreadProcessId(window, &info.processId);
    return info;
}

std::vector<WindowInfo> TopLevelWindows(const std::wstring& className,
                                        const std::optional<std::wstring>& caption) {
    std::vector<WindowInfo> found;
    Search search{&className, &caption, &found};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::vector<WindowInfo> Controls(HWND parent) {
    std::vector<WindowInfo> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring ReadText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return InternalText(window);
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
        return InternalText(window);
    }
    text.resize(copied);
    return text;
}

std::wstring WithoutAccelerators(const std::wstring& text) {
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        result += text[i];
    }
    return result;
}

std::string FormatLine(const WindowInfo& info) {
    char numbers[256];
    std::snprintf(numbers, sizeof(numbers), "\t%ld,%ld,%ld,%ld\t%ldx%ld\t%s\t%lu\t%d",
                  static_cast<long>(info.bounds.left), static_cast<long>(info.bounds.top),
                  static_cast<long>(info.bounds.right - info.bounds.left),
                  static_cast<long>(info.bounds.bottom - info.bounds.top),
                  static_cast<long>(info.clientArea.right), static_cast<long>(info.clientArea.bottom),
                  info.visible ? "visible" : "hidden", static_cast<unsigned long>(info.processId),
                  info.controlId);
    char handle[32];
    std::snprintf(handle, sizeof(handle), "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(info.handle)));
    std::wstring text = info.text;
    for (wchar_t& c : text) {
        if (c == L'\t' || c == L'\r' || c == L'\n')
            c = L' ';
    }
    return std::string(handle) + "\t" + ToUtf8(info.className) + "\t" + ToUtf8(text) + numbers;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                        nullptr, nullptr);
    return result;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

}  // namespace kaviro::ui_driver
