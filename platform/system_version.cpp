#include "platform/system_version.h"

#include <windows.h>

#include "platform/module.h"

namespace kaviro::platform {

WindowsVersion RunningWindowsVersion() {
    // RtlGetVersion reports the real version; GetVersionEx reports what the
    // manifest claims compatibility with.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (const auto getVersion = LookUpFunction<RtlGetVersionFunction>(L"ntdll.dll", "RtlGetVersion")) {
        if (getVersion(&info) == 0)
            return {info.dwMajorVersion, info.dwMinorVersion};
    }
    const DWORD packed = GetVersion();
    return {LOBYTE(LOWORD(packed)), HIBYTE(LOWORD(packed))};
}

}  // namespace kaviro::platform
