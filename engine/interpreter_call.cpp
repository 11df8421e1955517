// The hand-over from start-up to the script interpreter: gathers what
// start-up knows into the run's environment, connects the trace, the engine
// settings and the platform seams, registers the commands and runs the script.

#include "engine/interpreter_call.h"

#include <fstream>

#include "commands/file_commands.h"
#include "engine/hand_over_cleanup.h"
#include "engine/startup_state.h"
#include "engine/trace.h"
#include "engine/window_caption.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script/platform_seams.h"
#include "script/variable_text.h"

namespace kaviro {
namespace {

bool Exists(const std::string& path) {
    return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

std::string PatchPathBeside(const std::string& databasePath) {
    const std::size_t dot = databasePath.find_last_of('.');
    const std::size_t separator = databasePath.find_last_of("\\/");
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return (hasExtension ? databasePath.substr(0, dot) : databasePath) + ".msp";
}

class EngineTrace final : public script::TraceWriter {
  public:
    void Trace(std::string_view line) override { WriteTrace(line); }
};

// The engine settings the script controls through its variables.
class EngineSettings final : public script::SettingsSink {
  public:
    void ApplyTracePath(const std::string& path) override { SetTracePath(path); }
    void ApplySilent(bool silent) override { Startup().commandLine.silent = silent; }
    void ApplyTitle(const std::string& title) override { title_ = title; }
    void ApplyLogo(bool logo) override { logo_ = logo; }
    // The engine cache and the translations join later; until then the
    // variables alone carry these values.
    void ApplyOverrideCache(const std::string& /*value*/) override {}
    void ApplyLanguage(const std::string& /*language*/) override {}

    std::string Caption() const { return ApplyWindowCaptionRule(title_, logo_); }

  private:
    std::string title_;
    bool logo_ = false;
};

script::RunFacts FactsOfStartup(const StartupState& state, const std::string& databasePath) {
    script::RunFacts facts;
    facts.executablePath = state.executablePath;
    facts.setupFolder = state.setupFolder;
    facts.temporaryFolder = state.temporaryFolder;
    facts.supportFolder = state.supportFolder;
    facts.installerDatabasePath = databasePath;
    facts.tracePath = state.commandLine.tracePath;
    facts.argumentText = state.commandLine.argumentText;
    facts.wrapperPath = state.commandLine.wrapperPath;
    facts.policyPath = state.commandLine.policyPath;
    facts.silent = state.commandLine.silent;
    script::GatherPlatformFacts(facts);
    return facts;
}

// The cleanups after the interpreter returned. A second copy of a
// single-instance build leaves the engine cache alone: it belongs to the
// copy that runs.
void RunHandOverCleanups(const Script& script, const script::RunResult& result,
                         const script::TVariableManager& variables) {
    if (result.end == script::RunEnd::ValidationFailed || result.end == script::RunEnd::SecondInstance)
        return;
    // Media removed during the run: only the save, then start-up ends the
    // process at once.
    if (!result.setupMediaRemoved && DropsCachedSources(script))
        DeleteDownloadedMedia(result.engineCacheFolder);
    SaveRunData(result.engineCacheFolder, script::TextToBool(variables.Get("VELK_COMPRESS_INSTALLER_CACHE")));
}

}  // namespace

void CallInterpreter(const Script& script, const std::string& databasePath) {
    StartupState& state = Startup();

    script::CommandTable commands;
    script::RegisterScriptCommands(commands);
    commands::RegisterFileCommands(commands);

    EngineTrace trace;
    EngineSettings settings;
    script::PlatformSeams seams = script::MakePlatformSeams([&settings] { return settings.Caption(); });

    script::TVariableManager variables;
    script::RunEnvironment environment;
    environment.variables = &variables;
    environment.commands = &commands;
    environment.trace = &trace;
    environment.report = seams.report.get();
    environment.pump = seams.pump.get();
    environment.clock = seams.clock.get();
    environment.settings = &settings;
    environment.lifecycle = seams.lifecycle.get();
    environment.run.installerDatabasePath = databasePath;
    environment.run.setupFolder = state.setupFolder;
    environment.run.silent = state.commandLine.silent;
    environment.run.overrides = state.commandLine.overrides;
    environment.run.patchMode = Exists(PatchPathBeside(databasePath));
    environment.run.installerDatabaseMissing = !Exists(databasePath) && !environment.run.patchMode;
    environment.run.facts = FactsOfStartup(state, databasePath);
    environment.run.facts.cacheRoot = script::GatherCacheRootFacts(script.productCode);

    const script::RunResult result = script::RunScript(script, environment);
    state.exitCode = result.exitCode;
    state.setupMediaRemoved = result.setupMediaRemoved;
    RunHandOverCleanups(script, result, variables);
    if (result.end == script::RunEnd::ValidationFailed) {
        // A script that fails validation ends the run with its code and
        // traces nothing more; start-up still removes its support folder.
        SetTracePath("");
    }
}

}  // namespace kaviro
