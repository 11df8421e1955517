// Preparing the process before the setup starts: shell hints and processor affinity.

#include <windows.h>

#include "engine/startup_steps_win32.h"
#include "platform/file_system.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "platform/system_version.h"

namespace kaviro {

void WriteShellRegistryHints(const std::string& executablePath) {
    const platform::WindowsVersion version = platform::RunningWindowsVersion();
    try {
        if (version.major > 6 || (version.major == 6 && version.minor >= 1)) {
            platform::RegistryKey::Create(HKEY_CLASSES_ROOT,
                                          "Applications\\" + platform::FileNameOf(executablePath))
                .SetString("IsHostApp", "");
        } else if (version.major == 6 && version.minor == 0) {
            platform::RegistryKey::Create(HKEY_CURRENT_USER,
                                          "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
                                          "Compatibility Assistant\\Persisted")
                .SetDword(executablePath, 32);
        }
    } catch (const std::exception&) {
        // The hints only tune how the shell treats the setup; a user without
        // write access to these keys still gets a working setup.
    }
}

void RestrictToFirstProcessor() {
    using SetAffinityFunction = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
    if (const auto setAffinity =
            platform::LookUpFunction<SetAffinityFunction>(L"kernel32.dll", "SetProcessAffinityMask")) {
        setAffinity(GetCurrentProcess(), 1);
    }
}

}  // namespace kaviro
