#include "engine/startup_windows_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "engine/engine_error.h"
#include "engine/resources/resource_ids.h"
#include "platform/file_system.h"
#include "platform/system_version.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"
#include "ui/message_table.h"

namespace kaviro {
namespace {

constexpr wchar_t kSplashClass[] = L"TSetupSplash";
constexpr wchar_t kInitClass[] = L"TSetupInit";
constexpr int kInitClientWidth = 369;
constexpr int kInitClientHeight = 89;
constexpr DWORD kInitStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kInitExStyle = WS_EX_DLGMODALFRAME;

LRESULT CALLBACK SplashProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC target = BeginPaint(window, &paint);
        const auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (picture) {
            BITMAP info;
            GetObjectW(picture, sizeof(info), &info);
            const HDC source = CreateCompatibleDC(target);
            const HGDIOBJ previous = SelectObject(source, picture);
            BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, previous);
            DeleteDC(source);
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW splash{};
    splash.cbSize = sizeof(splash);
    splash.lpfnWndProc = SplashProcedure;
    splash.hInstance = instance;
    splash.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    splash.lpszClassName = kSplashClass;
    WNDCLASSEXW init{};
    init.cbSize = sizeof(init);
    init.lpfnWndProc = DefWindowProcW;
    init.hInstance = instance;
    init.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    init.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    init.lpszClassName = kInitClass;
    if (!RegisterClassExW(&splash) || !RegisterClassExW(&init)) {
        platform::ThrowLastError("Cannot register the start-up window classes");
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    registered = true;
}

HWND CreateChild(HWND parent, const wchar_t* className, const std::string& text, DWORD style, int left,
                 int top, int width, int height, HFONT font) {
    const HWND child =
        CreateWindowExW(0, className, platform::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, left, top,
                        width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!child)
        platform::ThrowLastError("Cannot create a control of the start-up window");
    if (font)
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

}  // namespace

StartupWindows::StartupWindows(const std::string& setupFolder) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClasses(instance);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font_.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    const auto font = static_cast<HFONT>(font_ ? font_.Get() : GetStockObject(DEFAULT_GUI_FONT));

    RECT frame{0, 0, kInitClientWidth, kInitClientHeight};
    AdjustWindowRectEx(&frame, kInitStyle, FALSE, kInitExStyle);
    const int initWidth = frame.right - frame.left;
    const int initHeight = frame.bottom - frame.top;
    init_.Reset(CreateWindowExW(
        kInitExStyle, kInitClass, platform::Widen(ui::Message(ui::message_line::kWizardCaption)).c_str(),
        kInitStyle, 0, 0, initWidth, initHeight, nullptr, nullptr, instance, nullptr));
    if (!init_)
        platform::ThrowLastError("Cannot create the start-up window");

    const int iconId =
        platform::HasModernLook(platform::RunningWindowsVersion()) ? IDI_SETUP_MODERN : IDI_SETUP_CLASSIC;
    const HWND icon = CreateChild(init_.Get(), L"Static", "", SS_ICON, 16, 16, 32, 32, nullptr);
    const auto iconImage =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 32, 32, 0));
    if (iconImage)
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(iconImage), 0);
    SetWindowPos(icon, nullptr, 16, 16, 32, 32, SWP_NOZORDER | SWP_NOACTIVATE);
    CreateChild(init_.Get(), L"Static", ui::Message(ui::message_line::kPreparingWizard), SS_LEFT, 56, 16, 297,
                33, font);
    progress_ = CreateChild(init_.Get(), PROGRESS_CLASSW, "", 0, 16, 56, 337, 17, nullptr);

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int initLeft = (screenWidth - initWidth) / 2;
    int initTop = (screenHeight - initHeight) / 2;

    const std::string picturePath = setupFolder + "setup.bmp";
    if (platform::FileExists(picturePath)) {
        picture_.Reset(
            LoadImageW(nullptr, platform::Widen(picturePath).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    BITMAP pictureInfo{};
    const bool hasPicture = picture_ && GetObjectW(picture_.Get(), sizeof(pictureInfo), &pictureInfo);
    if (hasPicture) {
        const int splashWidth = pictureInfo.bmWidth;
        const int splashHeight = pictureInfo.bmHeight;
        const int splashLeft = (screenWidth - splashWidth) / 2;
        const int splashTop = (screenHeight - splashHeight) / 2;
        splash_.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, kSplashClass, L"", WS_POPUP, splashLeft, splashTop,
                                      splashWidth, splashHeight, nullptr, nullptr, instance, nullptr));
        if (!splash_)
            platform::ThrowLastError("Cannot create the splash window");
        SetWindowLongPtrW(splash_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture_.Get()));
        ShowWindow(splash_.Get(), SW_SHOWNOACTIVATE);
        UpdateWindow(splash_.Get());
        splashShown_ = true;
        initLeft = splashLeft + splashWidth / 2 + 50;
        initTop = splashTop + splashHeight + 25;
        initTop = std::min(initTop, screenHeight - initHeight - 45);
        initLeft = std::min(initLeft, screenWidth - initWidth - 25);
    }
    SetWindowPos(init_.Get(), HWND_TOP, initLeft, initTop, 0, 0, SWP_NOSIZE);
    ShowWindow(init_.Get(), SW_SHOW);
    Repaint();
}

StartupWindows::~StartupWindows() {
    if (init_)
        ShowWindow(init_.Get(), SW_HIDE);
    init_.Reset();
    if (splash_)
        ShowWindow(splash_.Get(), SW_HIDE);
    splash_.Reset();
    platform::ProcessPendingMessages();
}

void StartupWindows::SetProgressRange(int minimum, int maximum, int position) {
    SendMessageW(progress_, PBM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void StartupWindows::StepProgress() {
    const auto position = SendMessageW(progress_, PBM_GETPOS, 0, 0);
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
}

void StartupWindows::Repaint() {
    if (splash_)
        UpdateWindow(splash_.Get());
    UpdateWindow(init_.Get());
    platform::ProcessPendingMessages();
}

}  // namespace kaviro
