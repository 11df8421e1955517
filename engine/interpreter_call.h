#pragma once
// The hand-over from start-up to the script interpreter.

#include <string>

#include "engine/package_format.h"

namespace kaviro {

// Runs the script; returns when the run has ended. The exit code travels
// through the start-up state.
void CallInterpreter(const Script& script, const std::string& databasePath);

}  // namespace kaviro
