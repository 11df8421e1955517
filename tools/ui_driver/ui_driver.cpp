// kaviro-ui-driver: a console tool that tests run beside the engine (under
// Wine and Xvfb) to see and drive its windows through window messages.
//
//   list [--class C] [--caption T]         top-level windows, one line each
//   controls HWND                          the window's controls, one line each
//   text HWND                              a window's or control's text
//   click HWND                             presses a button
//   click-button HWND TEXT                 presses the window's button labelled TEXT ("&" ignored)
//   set-text HWND TEXT                     sets an edit's text
//   wait --class C [--caption T] [--timeout MS]
//                                          waits for a visible top-level window; prints its line
//   wait-gone HWND [--timeout MS]          waits until the window no longer exists
//   watch --class C [--timeout MS]         waits for the window, prints it and its controls,
//                                          then waits until it is gone and prints "gone"
//
// Lines: handle (hex), class, text, left,top,width,height, client WxH,
// visible|hidden, process id, control id; fields separated by tabs, UTF-8.
// Exit code 0 on success, 1 when a wait timed out or nothing matched, 2 on bad usage.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tools/ui_driver/window_query.h"

namespace kaviro::ui_driver {
namespace {

constexpr int kUsageError = 2;
constexpr int kNotFound = 1;

struct Arguments {
    std::vector<std::wstring> positional;
    std::map<std::wstring, std::wstring> options;  // "--class" -> value
};

Arguments Parse(int count, wchar_t** values) {
    Arguments arguments;
    for (int i = 2; i < count; ++i) {
        const std::wstring value = values[i];
        if (value.rfind(L"--", 0) == 0 && i + 1 < count) {
            arguments.options[value] = values[++i];
        } else {
            arguments.positional.push_back(value);
        }
    }
    return arguments;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

HWND ParseHandle(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(text.c_str(), nullptr, 16)));
}

std::chrono::milliseconds Timeout(const Arguments& arguments) {
    const auto found = arguments.options.find(L"--timeout");
    return std::chrono::milliseconds(
        found == arguments.options.end() ? 10000 : std::wcstol(found->second.c_str(), nullptr, 10));
}

std::optional<std::wstring> Option(const Arguments& arguments, const wchar_t* name) {
    const auto found = arguments.options.find(name);
    if (found == arguments.options.end())
        return std::nullopt;
    return found->second;
}

// Polls until found returns a window or the timeout passes.
template <typename Find>
std::optional<WindowInfo> PollFor(std::chrono::milliseconds timeout, Find find) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto found = find())
            return found;
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::optional<WindowInfo> FirstVisible(const std::wstring& className,
                                       const std::optional<std::wstring>& caption) {
    for (const WindowInfo& info : TopLevelWindows(className, caption)) {
        if (info.visible)
            return info;
    }
    return std::nullopt;
}

bool WaitGone(HWND window, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsWindow(window)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool Click(HWND button) {
    DWORD_PTR ignored = 0;
    // Posted rather than sent: a click that opens a modal box must not block the driver.
    return PostMessageW(button, BM_CLICK, 0, 0) ||
           SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
}

int Run(int count, wchar_t** values) {
    if (count < 2)
        return kUsageError;
    const std::wstring command = values[1];
    const Arguments arguments = Parse(count, values);
    const auto& positional = arguments.positional;

    if (command == L"list") {
        for (const WindowInfo& info :
             TopLevelWindows(Option(arguments, L"--class").value_or(L""), Option(arguments, L"--caption"))) {
            Print(FormatLine(info));
        }
        return 0;
    }
    if (command == L"controls" && positional.size() == 1) {
        const HWND window = ParseHandle(positional[0]);
        if (!IsWindow(window))
            return kNotFound;
        for (const WindowInfo& info : Controls(window)) Print(FormatLine(info));
        return 0;
    }
    if (command == L"text" && positional.size() == 1) {
        const HWND window = ParseHandle(positional[0]);
        if (!IsWindow(window))
            return kNotFound;
        Print(ToUtf8(ReadText(window)));
        return 0;
    }
    if (command == L"click" && positional.size() == 1) {
        const HWND window = ParseHandle(positional[0]);
        return IsWindow(window) && Click(window) ? 0 : kNotFound;
    }
    if (command == L"click-button" && positional.size() == 2) {
        const HWND window = ParseHandle(positional[0]);
        for (const WindowInfo& info : Controls(window)) {
            if (CompareStringOrdinal(info.className.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL &&
                WithoutAccelerators(info.text) == WithoutAccelerators(positional[1])) {
                return Click(info.handle) ? 0 : kNotFound;
            }
        }
        return kNotFound;
    }
    if (command == L"set-text" && positional.size() == 2) {
        const HWND window = ParseHandle(positional[0]);
        DWORD_PTR ignored = 0;
        return IsWindow(window) && SendMessageTimeoutW(window, WM_SETTEXT, 0,
                                                       reinterpret_cast<LPARAM>(positional[1].c_str()),
                                                       SMTO_ABORTIFHUNG, 2000, &ignored)
                   ? 0
                   : kNotFound;
    }
    if ((command == L"wait" || command == L"watch") && Option(arguments, L"--class")) {
        const std::wstring className = *Option(arguments, L"--class");
        const auto caption = Option(arguments, L"--caption");
        const auto timeout = Timeout(arguments);
        const auto found = PollFor(timeout, [&] { return FirstVisible(className, caption); });
        if (!found)
            return kNotFound;
        Print(FormatLine(*found));
        if (command == L"wait")
            return 0;
        for (const WindowInfo& info : Controls(found->handle)) Print(FormatLine(info));
        if (!WaitGone(found->handle, timeout))
            return kNotFound;
        Print("gone");
        return 0;
    }
    if (command == L"wait-gone" && positional.size() == 1) {
        return WaitGone(ParseHandle(positional[0]), Timeout(arguments)) ? 0 : kNotFound;
    }
    return kUsageError;
}

}  // namespace
}  // namespace kaviro::ui_driver

int wmain(int count, wchar_t** values) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int code = kaviro::ui_driver::Run(count, values);
    if (code == 2)
        std::fputs(
            "usage: kaviro-ui-driver list|controls|text|click|click-button|set-text|wait|wait-gone|watch "
            "...\n",
            stderr);
    return code;
}
