#pragma once
// Runs an outside tool (wixl) and waits for it. The tool inherits the
// builder's standard streams, so its messages reach the author directly.
// run_program_posix.cpp and run_program_win32.cpp implement it.

#include <string>
#include <vector>

namespace kaviro::builder {

// Runs commandLine[0] (searched on PATH) with the other items as its
// arguments and returns its exit code. Raises BuildError when the program
// cannot be started at all.
[[nodiscard]] int RunProgram(const std::vector<std::string>& commandLine);

}  // namespace kaviro::builder
