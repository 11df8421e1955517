#pragma once
// Looking at other programs' windows: top-level windows, their controls and
// texts, read without waiting on the owning program where possible.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kaviro::ui_driver {

struct WindowInfo {
    HWND handle = nullptr;
    std::wstring className;
    std::wstring text;
    RECT bounds{};      // screen coordinates for top-level windows, parent client coordinates for controls
    RECT clientArea{};  // client rectangle size (left and top are 0)
    bool visible = false;
    DWORD processId = 0;
    int controlId = 0;
};

WindowInfo Describe(HWND window, bool asControl);

// Top-level windows, optionally only those of a class and with a caption (exact, case ignored).
std::vector<WindowInfo> TopLevelWindows(const std::wstring& className,
                                        const std::optional<std::wstring>& caption);

// Every descendant control of a window, in creation order.
std::vector<WindowInfo> Controls(HWND parent);

// The window's text as the window itself reports it (WM_GETTEXT with a
// timeout), or the text the system keeps for it when the program is busy.
std::wstring ReadText(HWND window);

// A window's text with "&" accelerator marks removed.
std::wstring WithoutAccelerators(const std::wstring& text);

// One line per window: handle, class, text, geometry, client size, visibility, process, control id.
std::string FormatLine(const WindowInfo& info);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace kaviro::ui_driver
