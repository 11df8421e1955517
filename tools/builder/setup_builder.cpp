#include "tools/builder/setup_builder.h"

#include <exception>

#include "engine/package_writer.h"
#include "engine/stub_size.h"
#include "tools/builder/build_error.h"
#include "tools/builder/file_io.h"
#include "tools/builder/identifiers.h"
#include "tools/builder/installer_summary_stamp.h"
#include "tools/builder/known_commands.h"
#include "tools/builder/package_builder.h"
#include "tools/builder/project_settings.h"
#include "tools/builder/run_program.h"
#include "tools/builder/script_source.h"
#include "tools/builder/seven_zip_writer.h"
#include "tools/builder/staged_output.h"
#include "tools/builder/support_resource.h"
#include "tools/builder/translation_files.h"

namespace kaviro::builder {
namespace {

namespace fs = std::filesystem;

// Bumped whenever the builder starts writing different bytes for the same
// project, so that revision codes of old and new builds differ.
constexpr std::string_view kBuilderFormat = "kaviro-build 1";

constexpr std::string_view kPlaceholderPackageCode = "{00000000-0000-0000-0000-000000000000}";
constexpr uint64_t kStampWindow = 15ULL * 3600 * 10000000;  // 15 hours either side, in FILETIME units

fs::path ProjectPath(const fs::path& projectFolder, const std::string& relative) {
    return (projectFolder / fs::path(std::u8string(relative.begin(), relative.end()))).lexically_normal();
}

// The engine stub: the image without anything behind its last section.
std::vector<uint8_t> ReadEngineStub(const fs::path& enginePath, BuildResult& result) {
    std::vector<uint8_t> engine;
    try {
        engine = ReadFileBytes(enginePath);
    } catch (const BuildError& error) {
        throw BuildError(std::string(error.what()) + " (the engine stub; give it with --engine PATH)");
    }
    uint32_t stubSize = 0;
    try {
        stubSize = PackageStubSize(engine);
    } catch (const std::exception& error) {
        throw BuildError(PathText(enginePath) + ": not a usable engine stub: " + error.what());
    }
    if (stubSize == 0 || stubSize > engine.size()) {
        throw BuildError(PathText(enginePath) + ": not a usable engine stub: its sections end at " +
                         std::to_string(stubSize) + " of " + std::to_string(engine.size()) + " bytes");
    }
    if (stubSize < engine.size()) {
        result.warnings.push_back(PathText(enginePath) + ": the " + std::to_string(engine.size() - stubSize) +
                                  " bytes after the image's last section (symbols or an old package) are not "
                                  "carried into the setup");
        engine.resize(stubSize);
    }
    return engine;
}

std::vector<uint8_t> ReadArchiveLibrary(const fs::path& oruPath) {
    std::error_code error;
    if (!fs::is_regular_file(oruPath, error)) {
        throw BuildError(PathText(oruPath) +
                         ": the archive library oru.lib is missing (give it with --oru PATH)");
    }
    return ReadFileBytes(oruPath);
}

// Compiles the WiX source into a temporary file of the output folder and
// stamps the fields wixl fills with random or current values.
std::vector<uint8_t> CompileWixSource(const fs::path& wxsPath, StagedOutput& staging, const std::string& wixl,
                                      BuildResult& result) {
    std::error_code error;
    if (!fs::is_regular_file(wxsPath, error))
        throw BuildError(PathText(wxsPath) + ": file not found");
    const fs::path compiled = staging.Reserve("wixl-output.msi");
    const uint64_t windowStart = CurrentFileTime() - kStampWindow;
    const int exitCode = RunProgram({wixl, "-o", PathText(compiled), PathText(wxsPath)});
    if (exitCode != 0) {
        throw BuildError(PathText(wxsPath) + ": " + wixl + " failed with exit code " +
                         std::to_string(exitCode) + " (its messages are above)");
    }
    std::vector<uint8_t> database = ReadFileBytes(compiled);
    const uint64_t windowEnd = CurrentFileTime() + kStampWindow;
    const SummaryStampCount count =
        StampInstallerSummary(database, kPlaceholderPackageCode, windowStart, windowEnd, kArchiveEntryTime);
    if (count.packageCodes != 1 || count.timeStamps == 0) {
        result.warnings.push_back(
            PathText(wxsPath) +
            ": the compiled database's summary information was not found where expected; "
            "its package code and dates may differ between builds");
    }
    return database;
}

}  // namespace

BuildResult BuildSetup(const BuildOptions& options) {
    BuildResult result;
    const fs::path projectFolder = fs::absolute(options.projectFolder).lexically_normal();
    const fs::path outputFolder = fs::absolute(options.outputFolder).lexically_normal();

    const fs::path settingsPath = projectFolder / kSettingsFileName;
    const std::string settingsText = ReadFileText(settingsPath);
    const ProjectSettings settings = ParseProjectSettings(settingsText, PathText(settingsPath));

    const fs::path scriptPath = ProjectPath(projectFolder, settings.scriptFile);
    const std::string scriptText = ReadFileText(scriptPath);
    const std::vector<SourceStatement> statements = ParseScriptSource(scriptText, PathText(scriptPath));
    for (const SourceStatement& statement : statements) {
        if (IsKnownCommand(statement.name))
            continue;
        const auto known = KnownCommandIgnoringCase(statement.name);
        result.warnings.push_back(PathText(scriptPath) + ":" + std::to_string(statement.line + 1) +
                                  ": the engine knows no statement \"" + statement.name + "\"" +
                                  (known ? " (names compare exactly; did you mean \"" + *known + "\"?)"
                                         : " and will do nothing for it"));
    }

    const fs::path supportFolder =
        settings.supportFolder.empty() ? fs::path() : ProjectPath(projectFolder, settings.supportFolder);
    if (!supportFolder.empty()) {
        const fs::path inside = outputFolder.lexically_relative(supportFolder);
        if (!inside.empty() && *inside.begin() != "..") {
            throw BuildError(PathText(outputFolder) +
                             ": the output folder must not lie inside the support folder");
        }
    }
    std::vector<ArchiveEntry> entries = CollectSupportFiles(supportFolder);
    std::vector<ArchiveEntry> dialogs = CollectDialogs(
        settings.dialogsFolder.empty() ? fs::path() : ProjectPath(projectFolder, settings.dialogsFolder));
    TranslationInputs translationInputs{settings, statements, PathText(scriptPath.filename()),
                                        dialogs,  {},         {}};
    for (const LanguageFile& file : settings.translations) {
        const fs::path path = ProjectPath(projectFolder, file.file);
        translationInputs.translations.push_back({file.language, PathText(path), ReadFileBytes(path)});
    }
    for (const LanguageFile& file : settings.sharedTranslations) {
        const fs::path path = ProjectPath(projectFolder, file.file);
        translationInputs.messages.push_back({file.language, PathText(path), ReadFileBytes(path)});
    }
    std::vector<ArchiveEntry> translationFiles = BuildTranslationFiles(translationInputs);
    entries.insert(entries.end(), std::make_move_iterator(dialogs.begin()),
                   std::make_move_iterator(dialogs.end()));
    entries.insert(entries.end(), std::make_move_iterator(translationFiles.begin()),
                   std::make_move_iterator(translationFiles.end()));
    std::vector<uint8_t> resource;
    try {
        resource = WriteSevenZipArchive(std::move(entries));
    } catch (const BuildError& error) {
        throw BuildError(std::string("support resource: ") + error.what() +
                         " (a support file, a dialog or a translation file may share a name)");
    }

    const std::vector<uint8_t> engine = ReadEngineStub(options.enginePath, result);
    const std::vector<uint8_t> archiveLibrary = ReadArchiveLibrary(options.oruPath);

    std::error_code error;
    fs::create_directories(outputFolder, error);
    if (error)
        throw BuildError(PathText(outputFolder) + ": cannot create the output folder: " + error.message());
    StagedOutput staging(outputFolder);

    const bool compiledFromWix = !settings.wxsFile.empty();
    std::vector<uint8_t> database = compiledFromWix
                                        ? CompileWixSource(ProjectPath(projectFolder, settings.wxsFile),
                                                           staging, options.wixlProgram, result)
                                        : ReadFileBytes(ProjectPath(projectFolder, settings.msiFile));

    // The revision code is a digest of everything that goes into the setup.
    Sha256 inputs;
    inputs.UpdateField(kBuilderFormat);
    inputs.UpdateField(settingsText);
    inputs.UpdateField(PathText(scriptPath));
    inputs.UpdateField(scriptText);
    for (const std::span<const uint8_t> bytes :
         {std::span<const uint8_t>(resource), std::span<const uint8_t>(database),
          std::span<const uint8_t>(engine), std::span<const uint8_t>(archiveLibrary)}) {
        inputs.UpdateField(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    const Sha256Digest inputDigest = inputs.Finish();
    result.revisionCode = GuidFromDigest(inputDigest);

    const Script script = BuildScript({settings, statements, PathText(scriptPath), result.revisionCode});
    std::string package;
    try {
        package = WritePackage(script);
    } catch (const std::exception& failure) {
        throw BuildError("the package cannot carry a value of the project: " + std::string(failure.what()));
    }
    std::vector<uint8_t> setup = engine;
    setup.insert(setup.end(), package.begin(), package.end());

    if (compiledFromWix) {
        Sha256 packageCode;
        packageCode.UpdateField("installer package code");
        packageCode.Update(inputDigest);
        StampInstallerSummary(database, GuidFromDigest(packageCode.Finish()), 0, 0, 0);
    }

    staging.Write(settings.outputName + ".exe", setup);
    staging.Write(settings.outputName + ".res", resource);
    staging.Write(settings.outputName + ".msi", database);
    staging.Write("oru.lib", archiveLibrary);
    result.files = staging.Commit();
    return result;
}

}  // namespace kaviro::builder
