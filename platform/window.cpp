#include "platform/window.h"

#include "platform/wide_text.h"

namespace kaviro::platform {

void ProcessPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void SetWindowTextAnsi(HWND window, const std::string& text) {
    SetWindowTextW(window, Widen(text).c_str());
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), style);
}

}  // namespace kaviro::platform
