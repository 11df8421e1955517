// The hand-over from start-up to the script interpreter: gathers what
// start-up knows into the run's environment, connects the trace, the engine
// settings and the platform seams, registers the commands and runs the script.

#include "engine/interpreter_call.h"

#include <exception>
#include <fstream>

#include "commands/file_commands.h"
#include "engine/hand_over_cleanup.h"
#include "engine/startup_state.h"
#include "engine/trace.h"
#include "engine/window_caption.h"
#include "installer/component_run.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script/platform_seams.h"
#include "script/variable_text.h"
#include "ui/run_localization.h"

namespace kaviro {
namespace {

bool Exists(const std::string& path) {
    return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

// The path without its extension.
std::string WithoutExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t separator = path.find_last_of("\\/");
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return hasExtension ? path.substr(0, dot) : path;
}

std::string PatchPathBeside(const std::string& databasePath) { return WithoutExtension(databasePath) + ".msp"; }

// The installer database's base name: the setup's base name, which names
// the files of the engine cache.
std::string BaseName(const std::string& databasePath) {
    const std::string stem = WithoutExtension(databasePath);
    const std::size_t separator = stem.find_last_of("\\/");
    return separator == std::string::npos ? stem : stem.substr(separator + 1);
}

class EngineTrace final : public script::TraceWriter {
  public:
    void Trace(std::string_view line) override { WriteTrace(line); }
};

// The engine settings the script controls through its variables.
class EngineSettings final : public script::SettingsSink {
  public:
    explicit EngineSettings(ui::RunLocalization& localization) : localization_(localization) {}
    void ApplyTracePath(const std::string& path) override { SetTracePath(path); }
    void ApplySilent(bool silent) override { Startup().commandLine.silent = silent; }
    void ApplyTitle(const std::string& title) override { title_ = title; }
    void ApplyLogo(bool logo) override { logo_ = logo; }
    // The interpreter itself follows a changed OVERRIDECACHE with ENGINECACHE.
    void ApplyOverrideCache(const std::string& /*value*/) override {}
    void ApplyLanguage(const std::string& language) override { localization_.ReloadTranslations(language); }

    std::string Caption() const { return ApplyWindowCaptionRule(title_, logo_); }

  private:
    ui::RunLocalization& localization_;
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

// Writes the setup data file into the engine cache folder when the
// saved-variable list is not empty. A run cannot yet install or remove the
// product, so it is an update of an existing file; the installer part sets
// the full write after a successful installation, and switches the save off
// after a removal.
void SaveSetupDataOfRun(installer::ComponentRun& components, script::TVariableManager& variables,
                        const std::string& engineCacheFolder, const std::string& baseName);

// The cleanups after the interpreter returned. A second copy of a
// single-instance build leaves the engine cache alone: it belongs to the
// copy that runs.
void RunHandOverCleanups(const Script& script, const script::RunResult& result, script::TVariableManager& variables,
                         installer::ComponentRun& components, const std::string& baseName) {
    if (result.end == script::RunEnd::ValidationFailed || result.end == script::RunEnd::SecondInstance)
        return;
    // Media removed during the run: only the save, then start-up ends the
    // process at once.
    if (!result.setupMediaRemoved && DropsCachedSources(script))
        DeleteDownloadedMedia(result.engineCacheFolder);
    SaveRunData(result.engineCacheFolder, script::TextToBool(variables.Get("VELK_COMPRESS_INSTALLER_CACHE")));
    SaveSetupDataOfRun(components, variables, result.engineCacheFolder, baseName);
}

// The engine cache folder of this revision: ENGINECACHE of the run.
std::string CacheFolderOfRun(script::TVariableManager& store) {
    const installer::StoreVariables view(store);
    return installer::EngineCacheFolder(view, store.Get("REVISIONCODE"));
}

}  // namespace

void CallInterpreter(const Script& script, const std::string& databasePath) {
    StartupState& state = Startup();
    const script::RunFacts facts = FactsOfStartup(state, databasePath);
    const std::string baseName = BaseName(databasePath);

    installer::ComponentRun components(script);
    ui::LocalizationPlatform localizationPlatform = ui::MakeLocalizationPlatform();
    ui::MessageTableTexts engineTexts(*localizationPlatform.locale);
    ui::LocaleUserLanguage userLanguage(*localizationPlatform.locale);
    ui::RunLocalizationPaths localizationPaths;
    localizationPaths.supportFolder = state.supportFolder;
    localizationPaths.patchFile = state.setupFolder + baseName + ".msp";
    localizationPaths.installedLanguageFile = [&baseName](script::TVariableManager& store) {
        const std::string folder = CacheFolderOfRun(store);
        return folder.empty() ? std::string() : folder + baseName + ".lan";
    };
    ui::RunLocalization localization(script, std::move(localizationPaths), engineTexts,
                                     *localizationPlatform.files, userLanguage, *localizationPlatform.dialog);

    script::CommandTable commands;
    script::RegisterScriptCommands(commands);
    commands::RegisterFileCommands(commands);
    installer::RegisterComponentCommands(commands, components);
    ui::RegisterLocalizationCommands(commands, localization);

    EngineTrace trace;
    EngineSettings settings(localization);
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
    environment.translator = &localization;
    environment.languages = &localization;
    environment.components = &components;
    environment.savedVariables = &components.model().MutableSavedVariables();
    environment.run.installerDatabasePath = databasePath;
    environment.run.setupFolder = state.setupFolder;
    environment.run.silent = state.commandLine.silent;
    environment.run.overrides = state.commandLine.overrides;
    environment.run.patchMode = Exists(PatchPathBeside(databasePath));
    environment.run.installerDatabaseMissing = !Exists(databasePath) && !environment.run.patchMode;
    environment.run.facts = facts;
    environment.run.facts.cacheRoot = script::GatherCacheRootFacts(script.productCode);

    const script::RunResult result = script::RunScript(script, environment);
    state.exitCode = result.exitCode;
    state.setupMediaRemoved = result.setupMediaRemoved;
    RunHandOverCleanups(script, result, variables, components, baseName);
    if (result.end == script::RunEnd::ValidationFailed) {
        // A script that fails validation ends the run with its code and
        // traces nothing more; start-up still removes its support folder.
        SetTracePath("");
    }
}

namespace {

void SaveSetupDataOfRun(installer::ComponentRun& components, script::TVariableManager& variables,
                        const std::string& engineCacheFolder, const std::string& baseName) {
    if (engineCacheFolder.empty()) return;
    installer::StoreVariables view(variables);
    installer::EndOfRunSave save;
    save.setupDataPath = script::WithTrailingBackslash(engineCacheFolder) + baseName + ".dat";
    try {
        installer::SaveRunData(components, view, save);
    } catch (const std::exception& error) {
        // The run is over and its exit code stands; a cache that cannot be
        // written is recorded in the trace rather than ending the process.
        WriteTrace(std::string("Setup data file not written: ") + error.what());
    }
}

}  // namespace
}  // namespace kaviro
