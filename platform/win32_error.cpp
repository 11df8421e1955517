#include "platform/win32_error.h"

#include "engine/engine_error.h"
#include "platform/wide_text.h"

namespace kaviro::platform {

std::string Win32ErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    std::string result = Narrow(text);
    if (!result.empty())
        result += ' ';
    return result + "(error " + std::to_string(code) + ")";
}

void ThrowLastError(std::string_view what) {
    const DWORD code = GetLastError();
    throw EngineError(std::string(what) + ": " + Win32ErrorText(code));
}

}  // namespace kaviro::platform
