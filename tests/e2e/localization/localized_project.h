#pragma once
// Translated setup projects for the localization tests: a script, its
// translation sources and components, built by kaviro-build into a setup.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/support/scratch.h"
#include "tests/e2e/support/wine_run.h"

namespace kaviro::e2e {

inline constexpr const char* kLocalizedBaseName = "LocSetup";

struct LocalizedProject {
    std::string script;
    std::string defaultLanguage = "English";
    bool languagePrompt = false;
    // Language name -> translation source text (docs/builder.md).
    std::map<std::string, std::string> translations;
    // Component name and size in bytes.
    std::vector<std::pair<std::string, std::string>> components;
};

// A statement block of the script source.
std::string Statement(const std::string& name, const std::vector<std::string>& parameters,
                      const std::string& label = "");
// "Write to Text File" appending a line to TEMPDIR\result.txt.
std::string WriteResult(const std::string& text);

// Writes the project into scratch and builds it; the setup's Linux path.
std::string BuildLocalizedSetup(const Scratch& scratch, const LocalizedProject& project);

struct SetupRun {
    RunResult run;
    std::vector<std::string> trace;
    std::vector<std::string> result;  // lines of TEMPDIR\result.txt
};

// A request for the setup with a trace and TEMP in scratch.
RunRequest LocalizedSetupRequest(const Scratch& scratch, const std::string& setup,
                                 std::vector<std::string> arguments);
// Reads the trace and the result file of a finished run.
SetupRun CollectRun(const Scratch& scratch, RunResult run);
// Runs the setup to its end.
SetupRun RunLocalizedSetup(const Scratch& scratch, const std::string& setup, std::vector<std::string> arguments);

}  // namespace kaviro::e2e
