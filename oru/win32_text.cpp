#include "oru/win32_text.h"

#include <windows.h>

namespace kaviro::oru {

std::string ToAnsi(const std::u16string& text) {
    if (text.empty()) {
        return {};
    }
    const std::wstring wide = ToWide(text);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr,
                        nullptr);
    return ansi;
}

std::wstring AnsiToWide(const char* text) {
    if (text == nullptr || *text == '\0') {
        return {};
    }
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    wide.resize(wide.size() - 1);  // the terminating NUL
    return wide;
}

std::u16string AnsiToUtf16(const char* text) {
    const std::wstring wide = AnsiToWide(text);
    return std::u16string(wide.begin(), wide.end());
}

std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace kaviro::oru
