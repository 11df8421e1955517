#pragma once
// Conversion between the engine's ANSI text (the active code page) and the
// UTF-16 text of the wide Win32 functions.

#include <string>
#include <string_view>

namespace kaviro::platform {

std::wstring Widen(std::string_view ansi);
std::string Narrow(std::wstring_view wide);

}  // namespace kaviro::platform
