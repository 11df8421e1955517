#pragma once
// The state of one run of the script, handed to every command handler.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/package_format.h"
#include "script/run_environment.h"
#include "script/variable_manager.h"

namespace kaviro::script {

// Control-flow state of the statement loop.
struct RunState {
    std::size_t programCounter = 0;  // statements fetched; the current one is programCounter - 1
    int blockDepth = 0;              // open If blocks on the current path
    bool skipToBranch = false;       // a false condition: find the matching Else, Else If or End
    bool skipToEnd = false;          // a branch ran: find the matching End
    bool endReentry = false;         // the skip stopped at an End that must now be executed
    bool elseIfAsCondition = false;  // the skip stopped at an Else If that is evaluated next
    bool inWizard = false;
    bool wizardEnd = false;          // the next End closes a Wizard Loop
    int wizardDirection = 1;         // +1 next dialog, -1 previous dialog, 0 leave the loop
    int64_t progressShadow = -1;
    std::string progressTextShadow;
};

// How a run ended.
enum class RunEnd {
    Finished,          // the last statement ran
    Terminated,        // "Terminate Install", "Terminate with Exit Code", a cancellation that ends the run
    ValidationFailed,  // the script failed validation: end the process now with exit code 314, trace nothing more
    NotStarted,        // no installer database
    SecondInstance,    // another copy of the same single-instance build runs: quit without a word
    LanguageCancelled, // the user cancelled the language dialog; no statement ran
    Fatal,             // an error escaped a command handler; reported unless silent
};

inline constexpr int32_t kValidationExitCode = 314;

struct RunResult {
    int32_t exitCode = 0;
    RunEnd end = RunEnd::Finished;
    std::size_t offendingStatement = 0;  // ValidationFailed: first offending statement
    std::string errorText;               // Fatal: the report text
    // Normal ends only: the setup media was removed during the run; start-up
    // finishes the run at once (setup data file, trace, support folder) and
    // skips the other hand-over cleanups.
    bool setupMediaRemoved = false;
    std::string engineCacheFolder;       // the engine cache folder of this revision at the end
};

class RunContext {
public:
    RunContext(const Script& script, RunEnvironment& environment);

    const Script& script() const { return script_; }
    RunEnvironment& environment() { return environment_; }
    TVariableManager& variables() { return variables_; }
    const TVariableManager& variables() const { return variables_; }

    // Statements.
    std::size_t StatementCount() const { return script_.statementNames.size(); }
    const std::string& Name(std::size_t index) const { return script_.statementNames[index]; }
    std::string_view Id(std::size_t index) const;
    // Active unless its flag is "C".
    bool IsActive(std::size_t index) const;

    // Parameter k of a statement, read afresh from the package.
    std::string Parameter(std::size_t index, int k) const;
    // The same, expanded.
    std::string ExpandedParameter(std::size_t index, int k) const;
    // Expanded, then doubled backslashes reduced to one (a leading "\\" kept).
    std::string NormalizedParameter(std::size_t index, int k) const;
    // Parameter `parameter` through the statement-parameter translation while
    // a language is active, as the command's translatable text number k (from
    // 1, in the order the command asks for its texts); not expanded.
    std::string TranslatedParameter(std::size_t index, int parameter, int k) const;
    // The same, expanded: what most translating commands use.
    std::string ExpandedTranslatedParameter(std::size_t index, int parameter, int k) const;
    // A language with translations is active.
    bool TranslationActive() const;

    // A result variable named by a parameter (bare or $NAME$): created
    // upper-cased when missing, then assigned with the origin. An empty name writes nothing.
    void WriteResult(std::string_view nameText, std::string_view value, std::string_view origin);
    // Creates the upper-cased variable with an empty value when it does not exist.
    void CreateResultVariable(std::string_view nameText);

    // Ends of the run.
    void Terminate() { ended_ = true; }
    void TerminateWithExitCode(int32_t code) {
        exitCode_ = code;
        ended_ = true;
    }
    bool Ended() const { return ended_; }
    int32_t ExitCode() const { return exitCode_; }
    void SetExitCode(int32_t code) { exitCode_ = code; }

    bool Silent() const { return variables_.IsSilent(); }
    void Trace(std::string_view line);
    // An error box the engine shows whatever the mode ("Setup cancelled",
    // media errors). A silent run never waits for a person: the text goes to
    // the trace instead and the run continues as after the box.
    void ShowError(const std::string& text);

    // Run lists.
    TextList labelTable;     // upper-cased label name, decimal statement index
    TextList executionList;  // per statement: "SKIP", "FALSE", "TRUE"
    TextList& savedVariables; // names marked for saving (the environment's list when it gives one)
    TextList propertyList;   // installer properties handed over: name, value, ...
    bool headerSweep = false;
    RunState state;
    // The single-instance marker this run created; deleted when the run is released.
    std::string singleInstanceMarker;
    // The engine cache folder of this revision (moves with OVERRIDECACHE).
    std::string engineCacheFolder;
    std::string uninstallLink;  // engine cache folder + setup executable's file name

private:
    const Script& script_;
    RunEnvironment& environment_;
    TVariableManager& variables_;
    TextList ownSavedVariables_;
    int32_t exitCode_ = 0;
    bool ended_ = false;
};

// Every doubled backslash becomes one; a text that began with "\\" keeps it.
std::string NormalizeBackslashes(std::string_view text);

}  // namespace kaviro::script
