#pragma once
// Owned window and GDI handles, and small window helpers.

#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

namespace kaviro::platform {

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle window) { DestroyWindow(window); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle object) { DeleteObject(object); }
};
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;

// Runs every window message already queued for this thread.
void ProcessPendingMessages();

// Sets a window's text from the engine's ANSI text.
void SetWindowTextAnsi(HWND window, const std::string& text);

// A message box with ANSI texts; returns the button pressed.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);

}  // namespace kaviro::platform
