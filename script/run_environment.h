#pragma once
// The seams between the portable interpreter and the platform. Start-up
// fills a RunEnvironment with the Win32 implementations; tests and the
// benchmark fill it with their own. Every pointer may be left null: the
// interpreter then behaves as in a silent run without a trace (no window,
// no message, dialogs answer Next).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/predefined_variables.h"
#include "script/variable_manager.h"

namespace kaviro::script {

class CommandTable;
class RunContext;

// Writes one marker or text line to the trace file (when tracing is on).
class TraceWriter {
public:
    virtual ~TraceWriter() = default;
    virtual void Trace(std::string_view line) = 0;
};

// Message boxes the engine shows itself. In a silent run the interpreter
// never calls ShowFatalError; the texts of boxes that a silent run would
// show anyway (media errors, "Setup cancelled") go to the trace instead.
class ReportHost {
public:
    virtual ~ReportHost() = default;
    // Error icon, no owner, caption rule, taskbar progress in its error state.
    virtual void ShowFatalError(const std::string& text) = 0;
    // Error icon, owner the dialog on screen if any, taskbar error state while open.
    virtual void ShowError(const std::string& text) = 0;
};

// Window message servicing on the main thread.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Processes every pending window message and returns.
    virtual void ProcessPendingMessages() = 0;
    // One step of a wait for a worker: processes one message, waiting for one
    // when none is queued (a silent run blocks on the worker instead; that is
    // the worker's own wait, see the worker pattern).
    virtual void WaitOneMessage() = 0;
};

// Engine settings copied from variables before every statement. Each call
// comes only when the value differs from the one handed over last time.
class SettingsSink {
public:
    virtual ~SettingsSink() = default;
    virtual void ApplyTracePath(const std::string& path) = 0;   // LOGGED
    virtual void ApplySilent(bool silent) = 0;                   // SILENT
    virtual void ApplyTitle(const std::string& title) = 0;       // TITLE (window caption)
    virtual void ApplyLogo(bool logo) = 0;                       // VELKLOGO, exactly "TRUE"
    virtual void ApplyOverrideCache(const std::string& value) = 0;  // a changed non-empty OVERRIDECACHE
    // LANGUAGE changed (and, on the first refresh, LANGUAGE is not empty):
    // it becomes the current language, whose translations are loaded when
    // they are not loaded yet. A failure fails the current statement.
    virtual void ApplyLanguage(const std::string& language) = 0;
};

// Time for DATE, TIME and the tick variables.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds of wall-clock time; DATE and TIME are formatted again when it changes.
    virtual int64_t WallClockSeconds() = 0;
    virtual std::string ShortDate() = 0;  // user's short date format
    virtual std::string LongTime() = 0;   // user's long time format
    virtual uint32_t TickCount() = 0;     // milliseconds since system start
};

// Button a wizard dialog was left with; it steers the Wizard Loop.
enum class DialogButton { Next, Back, Cancel, Other };

// The dialog host: shows the dialog of a "Display Dialog" statement.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    virtual DialogButton DisplayDialog(RunContext& context, std::size_t statementIndex) = 0;
    virtual void HideDialog(RunContext& context, std::size_t statementIndex) = 0;
    // A dialog window is on screen (progress pushes go to it).
    virtual bool DialogOnScreen() const = 0;
    // Shows PROGRESSTEXT and PROGRESS (0 to 100) on the dialog on screen.
    virtual void PushProgress(const std::string& text, int64_t position) = 0;
};

// Runs a statement whose name is in the package's plug-in command list.
class PluginHost {
public:
    virtual ~PluginHost() = default;
    virtual void RunPlugin(RunContext& context, std::size_t statementIndex) = 0;
};

// Statement-parameter translation of the active language.
class ParameterTranslator {
public:
    virtual ~ParameterTranslator() = default;
    // True while a language with translations is active.
    virtual bool Active() const = 0;
    // The translation of the statement's translatable text number k (from 1,
    // in the order its command asks for them), or the text itself.
    virtual std::string TranslateParameter(std::string_view statementId, int k, const std::string& text) = 0;
};

// Platform work at the start and at the end of a run: the single-instance
// marker, the resume entry, the setup media check.
class RunLifecycleHost {
public:
    virtual ~RunLifecycleHost() = default;
    virtual bool FileExists(const std::string& path) = 0;
    // Creates an empty file (or empties it); false when that failed.
    virtual bool CreateEmptyFile(const std::string& path) = 0;
    // Deletes a file; a missing file is no failure. Failures are ignored.
    virtual void RemoveFile(const std::string& path) = 0;
    // Deletes the value under SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce
    // of the current user, then of the machine; missing keys, missing values
    // and refused access are ignored.
    virtual void DeleteResumeEntry(const std::string& valueName) = 0;
    // The setup folder lies on a drive that is not a fixed disk and no longer
    // exists: the setup media was removed during the run.
    virtual bool SetupMediaRemoved(const std::string& setupFolder) = 0;
};

// The taskbar's prompt state while the engine waits for an answer: the
// error state (error boxes) or the paused state, restored on leaving.
class PromptStateHost {
public:
    virtual ~PromptStateHost() = default;
    virtual void EnterPromptState(bool error) = 0;
    virtual void LeavePromptState() = 0;
};

// Patch mode: the installed product's saved setup data, component lists and
// shortcut list are loaded from its engine cache folder, found through the
// uninstall registration of the product title.
class PatchDataLoader {
public:
    virtual ~PatchDataLoader() = default;
    virtual void LoadInstalledProductData(RunContext& context) = 0;
};

// The run's language, chosen once at the run start.
class LanguageSelector {
public:
    virtual ~LanguageSelector() = default;
    // Empties LANGUAGE, determines the language (asking the user when the
    // setup allows it) and defines LANGUAGE (context "Initialization").
    // False when the user cancelled the language dialog: the run ends
    // before its first statement.
    [[nodiscard]] virtual bool SelectLanguage(RunContext& context) = 0;
};

// The run's component model, as far as the run start needs it.
class ComponentRun {
public:
    virtual ~ComponentRun() = default;
    // Defines the always-present component, selected, with an empty description.
    virtual void DefinePredefinedComponent() = 0;
};

// Facts of the run that start-up knows.
struct RunSettings {
    std::string installerDatabasePath;  // the installer package in the support folder
    std::string setupFolder;            // folder of the setup executable
    bool silent = false;
    TextList overrides;                 // command line NAME=VALUE pairs, alternating lines
    // Neither the installer database nor the patch beside it exists: the run
    // stops before its first statement.
    bool installerDatabaseMissing = false;
    // The patch file lies beside the installer database.
    bool patchMode = false;
    RunFacts facts;                     // values of the predefined variables
};

struct RunEnvironment {
    TVariableManager* variables = nullptr;  // null: the process-wide store
    const CommandTable* commands = nullptr; // null: the portable script commands only
    TraceWriter* trace = nullptr;
    ReportHost* report = nullptr;
    MessagePump* pump = nullptr;
    SettingsSink* settings = nullptr;
    Clock* clock = nullptr;
    DialogHost* dialogs = nullptr;
    PluginHost* plugins = nullptr;
    ParameterTranslator* translator = nullptr;
    RunLifecycleHost* lifecycle = nullptr;  // null: no marker, no resume entry, media never removed
    PromptStateHost* prompt = nullptr;
    PatchDataLoader* patch = nullptr;
    LanguageSelector* languages = nullptr;  // null: an untranslated run, LANGUAGE stays empty
    ComponentRun* components = nullptr;
    // The saved-variable list the setup data file writes; null: the run keeps its own.
    TextList* savedVariables = nullptr;
    RunSettings run;
};

}  // namespace kaviro::script
