#pragma once
// The interpreter's entry: validates the script, starts the run and carries
// out statement after statement until the script ends.
//
// Start-up calls RunScript once with the loaded package and the platform
// seams. When the result's end is RunEnd::ValidationFailed, start-up ends the
// process at once with exit code 314 (result.exitCode) and traces nothing
// more; for every other end it runs the hand-over cleanups and finishes
// with result.exitCode.

#include "engine/package_format.h"
#include "script/run_context.h"
#include "script/run_environment.h"

namespace kaviro::script {

[[nodiscard]] RunResult RunScript(const Script& script, RunEnvironment& environment);

}  // namespace kaviro::script
