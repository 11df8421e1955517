#pragma once
// The engine's entry sequence.

#include <cstdint>

namespace kaviro {

// Runs the start-up, the script and the cleanup; returns the process exit code.
[[nodiscard]] int32_t RunSetup();

}  // namespace kaviro
