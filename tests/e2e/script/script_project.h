#pragma once
// Setup projects for the script tests: a project folder with the given
// script, built by kaviro-build into a runnable setup, and run under Wine.

#include <string>
#include <vector>

#include "tests/e2e/support/scratch.h"
#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {

struct ScriptRun {
    RunResult run;
    std::vector<std::string> trace;  // trace lines, empty when none was written
    std::string tempFolder;          // Linux path of the run's TEMP
};

// Writes a project with this script into scratch, builds it and returns the
// setup's Linux path (the test fails when the build fails). extraProjectIni
// follows the [setup] keys of project.ini: more keys, then other sections.
std::string BuildScriptSetup(const Scratch& scratch, const std::string& scriptText,
                             const std::string& extraProjectIni = "");

// Runs the setup with the arguments (a trace path is added) and TEMP in scratch.
ScriptRun RunSetup(const Scratch& scratch, const std::string& setup, std::vector<std::string> arguments);

}  // namespace kaviro::e2e
