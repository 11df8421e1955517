#pragma once
// Error texts for Win32 failures, attached to the engine's exception.

#include <windows.h>

#include <string>
#include <string_view>

namespace kaviro::platform {

// The system's message for a Win32 error code, without trailing line ends,
// followed by the code in parentheses.
std::string Win32ErrorText(DWORD code);

// Raises EngineError with "what: <text of GetLastError()>".
[[noreturn]] void ThrowLastError(std::string_view what);

}  // namespace kaviro::platform
