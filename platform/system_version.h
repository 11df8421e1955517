#pragma once
// The version of Windows the engine runs on, as the system reports it
// (independent of any compatibility manifest).

namespace kaviro::platform {

struct WindowsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

[[nodiscard]] WindowsVersion RunningWindowsVersion();

// Windows XP and later: major above 5, or 5 with a non-zero minor.
[[nodiscard]] inline bool HasModernLook(WindowsVersion version) {
    return version.major > 5 || (version.major == 5 && version.minor > 0);
}

}  // namespace kaviro::platform
