#pragma once
// Start-up failures that end the process at once with their own exit code
// (13 to 16): no further trace line, no cleanup, the support folder stays.

#include <cstdint>

namespace kaviro {

inline constexpr int32_t kExitRuntimeError = 11;
inline constexpr int32_t kExitNoPackage = 13;
inline constexpr int32_t kExitResourceNotFound = 14;
inline constexpr int32_t kExitResourceDecompression = 15;
inline constexpr int32_t kExitDatabaseNotFound = 16;

struct StartupExit {
    int32_t exitCode;
};

}  // namespace kaviro
