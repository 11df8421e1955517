#include "script/interpreter.h"

#include <exception>
#include <optional>

#include "engine/engine_error.h"
#include "engine/package_lookup.h"
#include "engine/text_util.h"
#include "script/command_table.h"
#include "script/condition.h"
#include "script/header_commands.h"
#include "script/predefined_variables.h"
#include "script/reserved_variables.h"
#include "script/run_end.h"
#include "script/run_start.h"
#include "script/run_start_selections.h"
#include "script/validation.h"
#include "script/variable_text.h"
#include "script/worker_wait.h"

namespace kaviro::script {

namespace {

// Window messages are serviced every this many fetched statements.
constexpr std::size_t kPumpInterval = 314;

enum class Kind {
    Other,  // a command of the table, a no-op, or unknown
    If,
    ElseIf,
    Else,
    End,
    WizardLoop,
    Label,
    GoTo,
    DisplayDialog,
    HideDialog,
    Ignore,
    TerminateInstall,
    TerminateWithExitCode,
    Plugin,
};

Kind KindOf(const std::string& name) {
    if (name == "If") return Kind::If;
    if (name == "Else If") return Kind::ElseIf;
    if (name == "Else") return Kind::Else;
    if (name == "End") return Kind::End;
    if (name == "Wizard Loop") return Kind::WizardLoop;
    if (name == "Label") return Kind::Label;
    if (name == "GoTo Label") return Kind::GoTo;
    if (name == "Display Dialog") return Kind::DisplayDialog;
    if (name == "Hide Dialog") return Kind::HideDialog;
    if (name == "Ignore") return Kind::Ignore;
    if (name == "Terminate Install") return Kind::TerminateInstall;
    if (name == "Terminate with Exit Code") return Kind::TerminateWithExitCode;
    return Kind::Other;
}

const CommandTable& PortableCommands() {
    static const CommandTable table = [] {
        CommandTable commands;
        RegisterScriptCommands(commands);
        return commands;
    }();
    return table;
}

class Interpreter {
public:
    Interpreter(const Script& script, RunEnvironment& environment)
        : context_(script, environment),
          environment_(environment),
          variables_(context_.variables()),
          commands_(environment.commands ? *environment.commands : PortableCommands()) {}

    RunResult Run();

private:
    void Trace(std::string_view line) { context_.Trace(line); }
    bool StartRun();
    void ResolveStatements();
    void BuildLabelTable();
    void InjectOverrides();
    void StatementLoop();
    void RefreshEngineSettings();
    void PushProgressIfChanged();
    std::optional<std::size_t> NextStatement();
    std::size_t NormalFetch(std::size_t from) const;
    std::optional<std::size_t> SkipToBranch();
    std::optional<std::size_t> SkipToEnd();
    std::optional<std::size_t> WizardStep();
    std::optional<std::size_t> LeaveWizardAtEnd(std::size_t from);
    void Execute(std::size_t index);
    bool Condition(std::size_t index);
    void DisplayDialog(std::size_t index);
    void GoTo(std::size_t index);
    void ReportFatal(std::size_t index, const std::string& error);
    void EndRun();
    void Release();

    RunContext context_;
    RunEnvironment& environment_;
    TVariableManager& variables_;
    const CommandTable& commands_;
    std::vector<Kind> kinds_;
    std::vector<const CommandHandler*> handlers_;
    std::vector<bool> active_;
    RunResult result_;

    // Values handed to the settings sink last time.
    std::string logged_, silent_, title_, logo_, overrideCache_, language_;
    bool silentOn_ = false;
    bool logoOn_ = false;
    bool settingsSeen_ = false;
    int64_t lastSecond_ = -1;
};

RunResult Interpreter::Run() {
    if (StartRun()) {
        StatementLoop();
        if (result_.end != RunEnd::Fatal) EndRun();
        result_.exitCode = context_.ExitCode();
    }
    result_.engineCacheFolder = context_.engineCacheFolder;
    return result_;
}

bool Interpreter::StartRun() {
    Trace("    <Variables>");
    context_.labelTable.clear();
    context_.executionList.clear();
    context_.savedVariables.clear();
    context_.propertyList.clear();
    InstallerPropertyQueue().Clear();
    variables_.SetSilent(environment_.run.silent);
    variables_.SetOverrideList(environment_.run.overrides);
    Trace("    </Variables>");
    Trace("    <CompileScript>");
    const int64_t offending = ValidateScript(context_.script(), variables_, context_.executionList);
    if (offending != kScriptValid) {
        result_.end = RunEnd::ValidationFailed;
        result_.exitCode = kValidationExitCode;
        result_.offendingStatement = static_cast<std::size_t>(offending);
        return false;
    }
    Trace("    </CompileScript>");
    variables_.Clear();
    if (environment_.clock) {
        Clock* clock = environment_.clock;
        variables_.SetTickSource([clock] { return clock->TickCount(); });
    }
    DefineReservedVariables(variables_);
    // The silent flag is refreshed from SILENT before every statement, so the
    // variable starts from the command line's mode.
    variables_.DefineVariable("SILENT", BoolToText(environment_.run.silent), "Initialization");
    const RunFacts& facts = environment_.run.facts;
    DefinePreInitializationVariables(variables_, context_.script(), facts);
    Trace("    <BootStrap>");
    DefineBootstrapVariables(variables_, context_.script(), facts);
    StartEngineCache(context_);
    Trace("    </BootStrap>");
    environment_.run.setupFolder = WithTrailingBackslash(environment_.run.setupFolder);
    ResolveStatements();
    BuildLabelTable();
    if (environment_.run.installerDatabaseMissing) {
        result_.end = RunEnd::NotStarted;
        return false;
    }
    if (!ApplySingleInstanceGuard(context_)) {
        result_.end = RunEnd::SecondInstance;
        return false;
    }
    Trace("    <velk>");
    DefineAlwaysPresentComponent(context_);
    DefineInitializationVariables(variables_, context_.script(), facts);
    // The command line's mode wins over the facts' silent flag.
    variables_.DefineVariable("SILENT", BoolToText(environment_.run.silent), "Initialization");
    LoadPatchModeData(context_);
    RemoveResumeEntry(context_);
    RunHeaderSweep(context_);
    if (!ChooseRunLanguage(context_)) {
        result_.end = RunEnd::LanguageCancelled;
        Release();
        return false;
    }
    InjectOverrides();
    return true;
}

void Interpreter::ResolveStatements() {
    const Script& script = context_.script();
    const CommandTable& commands = commands_;
    const std::size_t count = context_.StatementCount();
    kinds_.resize(count);
    handlers_.assign(count, nullptr);
    active_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = script.statementNames[i];
        active_[i] = context_.IsActive(i);
        kinds_[i] = KindOf(name);
        bool plugin = false;
        for (const std::string& pluginName : script.pluginCommandNames) {
            if (EqualsIgnoreCase(pluginName, name)) plugin = true;
        }
        if (plugin) {
            kinds_[i] = Kind::Plugin;
        } else if (kinds_[i] == Kind::Other || kinds_[i] == Kind::HideDialog) {
            handlers_[i] = commands.Find(name);
        }
    }
}

void Interpreter::BuildLabelTable() {
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        if (kinds_[i] != Kind::Label) continue;
        context_.labelTable.push_back(UpperCase(context_.Parameter(i, 1)));
        context_.labelTable.push_back(std::to_string(i));
    }
}

void Interpreter::InjectOverrides() {
    const TextList& overrides = environment_.run.overrides;
    for (std::size_t i = 0; i + 1 < overrides.size(); i += 2) {
        variables_.DefineVariable(overrides[i], overrides[i + 1], kOverrideOrigin);
    }
}

void Interpreter::StatementLoop() {
    RunState& state = context_.state;
    const std::size_t count = kinds_.size();
    while (state.programCounter < count && !context_.Ended()) {
        if (state.programCounter % kPumpInterval == 0 && environment_.pump) {
            environment_.pump->ProcessPendingMessages();
        }
        // A failure of the refresh (a language whose translation files are
        // missing) is reported at the statement that ran last.
        std::size_t index = state.programCounter > 0 ? state.programCounter - 1 : 0;
        try {
            RefreshEngineSettings();
            const auto next = NextStatement();
            if (!next || *next >= count) break;
            index = *next;
            state.programCounter = index + 1;
            variables_.AssignIfDifferent(
                "ABORT", BoolToText(TextToBool(variables_.Get(kIsCancelled))), "Cancel State");
            PushProgressIfChanged();
            Execute(index);
        } catch (const std::exception& error) {
            ReportFatal(index, error.what());
            return;
        }
    }
}

// Copies engine settings from variables; the sink hears only of changes.
void Interpreter::RefreshEngineSettings() {
    SettingsSink* sink = environment_.settings;
    const bool first = !settingsSeen_;
    settingsSeen_ = true;
    if (variables_.CopyIfChanged("LOGGED", logged_) || first) {
        if (sink) sink->ApplyTracePath(logged_);
    }
    if (variables_.CopyIfChanged("SILENT", silent_) || first) {
        const bool silent = TextToBool(silent_);
        variables_.SetSilent(silent);
        if ((silent != silentOn_ || first) && sink) sink->ApplySilent(silent);
        silentOn_ = silent;
    }
    if (variables_.CopyIfChanged("TITLE", title_) || first) {
        if (sink) sink->ApplyTitle(title_);
    }
    if (variables_.CopyIfChanged("VELKLOGO", logo_) || first) {
        const bool logo = logo_ == kTrueText;
        if ((logo != logoOn_ || first) && sink) sink->ApplyLogo(logo);
        logoOn_ = logo;
    }
    const bool cacheChanged = variables_.CopyIfChanged("OVERRIDECACHE", overrideCache_);
    if (cacheChanged && !overrideCache_.empty()) {
        if (sink) sink->ApplyOverrideCache(overrideCache_);
    }
    if (Clock* clock = environment_.clock) {
        const int64_t second = clock->WallClockSeconds();
        if (second != lastSecond_) {
            lastSecond_ = second;
            variables_.DefineVariable("DATE", clock->ShortDate(), "Initialization");
            variables_.DefineVariable("TIME", clock->LongTime(), "Initialization");
        }
    }
    // The language chosen at the run start is loaded before the first
    // statement; later only a change of LANGUAGE costs anything.
    if (variables_.CopyIfChanged("LANGUAGE", language_) || (first && !language_.empty())) {
        if (sink) sink->ApplyLanguage(language_);
    }
    RefreshEngineCache(context_, overrideCache_, cacheChanged);
}

void Interpreter::PushProgressIfChanged() {
    DialogHost* dialogs = environment_.dialogs;
    if (!dialogs || !dialogs->DialogOnScreen()) return;
    RunState& state = context_.state;
    const std::string text = variables_.Get("PROGRESSTEXT");
    const auto parsed = ParseInt32(variables_.Get("PROGRESS"));
    const int64_t position = parsed.value_or(0);
    if (position == state.progressShadow && text == state.progressTextShadow) return;
    state.progressShadow = position;
    state.progressTextShadow = text;
    PushScriptProgress(context_);
}

std::optional<std::size_t> Interpreter::NextStatement() {
    RunState& state = context_.state;
    if (state.skipToBranch) return SkipToBranch();
    if (state.skipToEnd) return SkipToEnd();
    if (state.inWizard) return WizardStep();
    return NormalFetch(state.programCounter);
}

std::size_t Interpreter::NormalFetch(std::size_t from) const {
    std::size_t i = from;
    while (i < kinds_.size() && (!active_[i] || kinds_[i] == Kind::Ignore)) ++i;
    return i;
}

std::optional<std::size_t> Interpreter::SkipToBranch() {
    RunState& state = context_.state;
    state.skipToBranch = false;
    int count = 0;
    for (std::size_t i = state.programCounter; i < kinds_.size(); ++i) {
        if (!active_[i]) continue;
        switch (kinds_[i]) {
            case Kind::If:
            case Kind::WizardLoop:
                ++count;
                break;
            case Kind::End:
                if (count == 0) {
                    state.endReentry = true;
                    return i;
                }
                --count;
                break;
            case Kind::Else:
                if (count == 0) return NormalFetch(i + 1);
                break;
            case Kind::ElseIf:
                if (count == 0) {
                    --state.blockDepth;
                    state.elseIfAsCondition = true;
                    return i;
                }
                break;
            default:
                break;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Interpreter::SkipToEnd() {
    RunState& state = context_.state;
    state.skipToEnd = false;
    int count = 0;
    for (std::size_t i = state.programCounter; i < kinds_.size(); ++i) {
        if (!active_[i]) continue;
        if (kinds_[i] == Kind::If || kinds_[i] == Kind::WizardLoop) {
            ++count;
        } else if (kinds_[i] == Kind::End) {
            if (count == 0) {
                state.endReentry = true;
                return i;
            }
            --count;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Interpreter::WizardStep() {
    RunState& state = context_.state;
    const std::size_t current = state.programCounter - 1;
    if (state.wizardDirection == 0) return LeaveWizardAtEnd(current);
    std::size_t i = current;
    for (;;) {
        if (state.wizardDirection > 0) {
            if (++i >= kinds_.size()) break;
        } else {
            if (i == 0) break;
            --i;
        }
        if (!active_[i]) continue;
        switch (kinds_[i]) {
            case Kind::DisplayDialog:
                return i;
            case Kind::End:
                state.inWizard = false;
                state.wizardEnd = true;
                return i;
            case Kind::WizardLoop:
                return LeaveWizardAtEnd(i);
            default:
                break;
        }
    }
    state.inWizard = false;
    return std::nullopt;
}

std::optional<std::size_t> Interpreter::LeaveWizardAtEnd(std::size_t from) {
    RunState& state = context_.state;
    state.inWizard = false;
    for (std::size_t i = from + 1; i < kinds_.size(); ++i) {
        if (active_[i] && kinds_[i] == Kind::End) {
            state.wizardEnd = true;
            return i;
        }
    }
    return std::nullopt;
}

bool Interpreter::Condition(std::size_t index) {
    ConditionParameters condition;
    // A condition owns three translation lines, keyed by parameter number;
    // the comparison code's line is never used.
    condition.variable = context_.TranslatedParameter(index, 1, 1);
    condition.code = context_.Parameter(index, 2);
    condition.operand = context_.TranslatedParameter(index, 3, 3);
    condition.negation = context_.Parameter(index, 4);
    return EvaluateCondition(variables_, condition);
}

void Interpreter::Execute(std::size_t index) {
    RunState& state = context_.state;
    switch (kinds_[index]) {
        case Kind::If:
            ++state.blockDepth;
            if (!Condition(index)) state.skipToBranch = true;
            break;
        case Kind::ElseIf:
            if (state.elseIfAsCondition || state.blockDepth <= 0) {
                state.elseIfAsCondition = false;
                ++state.blockDepth;
                if (!Condition(index)) state.skipToBranch = true;
            } else {
                state.skipToEnd = true;
            }
            break;
        case Kind::Else:
            state.skipToEnd = true;
            break;
        case Kind::End:
            if (state.endReentry) {
                if (state.blockDepth > 0) --state.blockDepth;
                state.endReentry = false;
            } else if (state.wizardEnd) {
                state.wizardEnd = false;
            } else if (state.blockDepth > 0) {
                --state.blockDepth;
            }
            break;
        case Kind::WizardLoop:
            state.inWizard = true;
            state.wizardDirection = 1;
            break;
        case Kind::DisplayDialog:
            DisplayDialog(index);
            break;
        case Kind::HideDialog:
            if (environment_.dialogs) environment_.dialogs->HideDialog(context_, index);
            break;
        case Kind::GoTo:
            GoTo(index);
            break;
        case Kind::TerminateInstall:
            context_.Terminate();
            break;
        case Kind::TerminateWithExitCode:
            context_.TerminateWithExitCode(ParseInt32(context_.ExpandedParameter(index, 1)).value_or(0));
            break;
        case Kind::Plugin:
            if (environment_.plugins) environment_.plugins->RunPlugin(context_, index);
            break;
        case Kind::Other:
            if (handlers_[index]) (*handlers_[index])(context_, index);
            break;
        case Kind::Label:
        case Kind::Ignore:
            break;
    }
}

void Interpreter::DisplayDialog(std::size_t index) {
    DialogButton button = DialogButton::Next;
    if (environment_.dialogs) {
        button = environment_.dialogs->DisplayDialog(context_, index);
    } else {
        // Without a dialog host every dialog behaves as in a silent run: no
        // window, the result variable receives "NEXT".
        context_.WriteResult(context_.Parameter(index, 2), "NEXT", "Display Dialog Action");
        variables_.AssignVariable("WINDOWHANDLE", "0", "Display Dialog Action");
    }
    RunState& state = context_.state;
    if (!state.inWizard) return;
    switch (button) {
        case DialogButton::Next:
            state.wizardDirection = 1;
            break;
        case DialogButton::Back:
            state.wizardDirection = -1;
            break;
        case DialogButton::Cancel:
            state.wizardDirection = 0;
            break;
        case DialogButton::Other:
            break;
    }
}

void Interpreter::GoTo(std::size_t index) {
    const std::string label = UpperCase(context_.Parameter(index, 1));
    const TextList& labels = context_.labelTable;
    for (std::size_t i = 0; i + 1 < labels.size(); i += 2) {
        if (labels[i] != label) continue;
        RunState& state = context_.state;
        state.programCounter = static_cast<std::size_t>(ParseInt32(labels[i + 1]).value_or(0));
        state.blockDepth = 0;
        state.skipToBranch = state.skipToEnd = state.endReentry = state.elseIfAsCondition = false;
        state.inWizard = state.wizardEnd = false;
        return;
    }
    throw EngineError("Label not found: " + label);
}

void Interpreter::ReportFatal(std::size_t index, const std::string& error) {
    const SourcePositionInfo position = SourcePosition(context_.script(), index);
    std::string text = "Runtime error in setup script:\r\rSource File: ";
    text += position.fileName;
    text += "\rLine Number: ";
    text += std::to_string(position.line);
    text += "\r\r";
    text += error;
    result_.end = RunEnd::Fatal;
    result_.errorText = text;
    if (!context_.Silent()) {
        // The run ends after the box: the error state is not left again.
        if (environment_.prompt) environment_.prompt->EnterPromptState(true);
        if (environment_.report) environment_.report->ShowFatalError(text);
    }
    Release();
}

void Interpreter::EndRun() {
    if (result_.end == RunEnd::Finished && context_.Ended()) result_.end = RunEnd::Terminated;
    Trace("    </velk>");
    Trace("    <ExitScript>");
    Release();
    Trace("    </ExitScript>");
    result_.setupMediaRemoved = SetupMediaRemoved(context_);
}

void Interpreter::Release() {
    // The run's own lists are released with the context.
    ReleaseRun(context_, commands_);
}

}  // namespace

RunResult RunScript(const Script& script, RunEnvironment& environment) {
    Interpreter interpreter(script, environment);
    return interpreter.Run();
}

}  // namespace kaviro::script
