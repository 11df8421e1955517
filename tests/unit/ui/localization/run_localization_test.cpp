// Whole scripts run natively with the run's localization and component
// model wired as the engine wires them: translation files on disk, the
// language chosen at the run start, LANGUAGE switched by the script, and
// the component commands in the command table.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "installer/component_run.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "tests/unit/script/script_builder.h"
#include "tests/unit/ui/localization/localization_fixture.h"
#include "ui/message_table.h"
#include "ui/run_localization.h"

namespace kaviro::ui {
namespace {

using script::RunEnd;
using script::testing::ScriptBuilder;
using testing::FixedLocale;
using testing::RecordingEngineTexts;
using testing::ScriptedDialog;
using testing::SupportFolder;

// The id ScriptBuilder gives statement n (from 1).
std::string Id(int n) {
    char id[64];
    std::snprintf(id, sizeof id, "{00000000-0000-0000-0000-%012d}", n);
    return id;
}

struct Line {
    std::string key;
    std::string original;
    std::string german;
};

// Writes the four line-parallel files for English (the originals) and German.
void WriteTranslations(const SupportFolder& folder, const std::vector<Line>& lines) {
    std::vector<std::string> keys, owners, originals, german;
    for (const Line& line : lines) {
        keys.push_back(line.key);
        owners.push_back("setup.kvs");
        originals.push_back(line.original);
        german.push_back(line.german);
    }
    folder.Write("Sample.mtx", keys);
    folder.Write("translations.Map", owners);
    folder.Write("translations.Original", originals);
    folder.Write("translations.English", originals);
    folder.Write("translations.German", german);
}

// A run as the hand-over makes it, over a support folder.
struct LocalizedRun {
    explicit LocalizedRun(const SupportFolder& folder, Script script,
                          std::function<std::string(script::TVariableManager&)> installedLanguageFile = {})
        : script_(std::move(script)),
          components(script_),
          localization(script_, {folder.Path(), folder.Path() + "Sample.msp", std::move(installedLanguageFile)},
                       texts, files, locale, dialog) {
        script::RegisterScriptCommands(commands);
        installer::RegisterComponentCommands(commands, components);
        RegisterLocalizationCommands(commands, localization);
        environment.variables = &store;
        environment.commands = &commands;
        environment.settings = &settings;
        environment.translator = &localization;
        environment.languages = &localization;
        environment.components = &components;
        environment.savedVariables = &components.model().MutableSavedVariables();
    }

    LocalizedRun& Start(bool silent) {
        environment.run.silent = silent;
        result = script::RunScript(script_, environment);
        return *this;
    }
    std::string Get(const std::string& name) const { return store.Get(name); }

    class Settings final : public script::SettingsSink {
      public:
        explicit Settings(RunLocalization& localization) : localization_(localization) {}
        void ApplyTracePath(const std::string&) override {}
        void ApplySilent(bool) override {}
        void ApplyTitle(const std::string&) override {}
        void ApplyLogo(bool) override {}
        void ApplyOverrideCache(const std::string&) override {}
        void ApplyLanguage(const std::string& language) override { localization_.ReloadTranslations(language); }

      private:
        RunLocalization& localization_;
    };

    Script script_;
    RecordingEngineTexts texts;
    FileSystemLanguageFiles files;
    FixedLocale locale{1031};
    ScriptedDialog dialog;
    installer::ComponentRun components;
    RunLocalization localization;
    Settings settings{localization};
    script::TVariableManager store;
    script::CommandTable commands;
    script::RunEnvironment environment;
    script::RunResult result;
};

Script TranslatedScript() {
    Script script = ScriptBuilder()
                        .Set("FIRST", "Hello")                        // 1
                        .Set("SECOND", "World")                       // 2
                        .Set("RED", "rot")                            // 3
                        .Set("COLOUR", "blue")                        // 4
                        .If("COLOUR", "0", "red")                     // 5: both sides translated
                        .Set("LOG", "matched")                         // 6
                        .Add("End")                                   // 7
                        .Add("Localization Variable", {"$GREET$", "Good day $FIRST$"})  // 8
                        .Add("Define Component", {"Tools", "TRUE", "Helpers"})        // 9
                        .Add("Get Component Space", {"Tools", "TOOLSIZE"})            // 10
                        .Add("Get Component State", {"Tools", "TOOLSTATE"})           // 11
                        .Set("LANGUAGE", "English")                   // 12
                        .Set("AFTER", "World")                        // 13: a text of its own
                        .Set("LANGUAGE", "")                          // 14
                        .Set("FIRSTAGAIN", "Hello")                   // 15
                        .Build();
    script.defaultLanguage = "German";
    script.componentSection = {"1", "VELK-PREDEF-COMPONENT", "100", "TOOLS", "2048"};
    return script;
}

std::vector<Line> TranslatedLines() {
    return {{Id(1), "Hello", "Hallo"},
            {Id(2), "World", "Welt"},
            {Id(5), "COLOUR", "RED"},
            {Id(5), "0", "0"},
            {Id(5), "red", "rot"},
            {"CODEGEAR$GREET$CODEGEAR", "Good day $FIRST$", "Guten Tag $FIRST$"},
            {Id(9), "Tools", "Werkzeuge"},
            {Id(9), "Helpers", "Helfer"},
            {Id(10), "Tools", "Werkzeuge"},
            {Id(11), "Tools", "Werkzeuge"},
            {Id(13), "World", "Erde"}};
}

TEST(RunLocalization, TranslatesStatementsOfTheChosenLanguageAndFollowsLanguage) {
    SupportFolder folder;
    WriteTranslations(folder, TranslatedLines());
    LocalizedRun run(folder, TranslatedScript());
    run.Start(/*silent=*/true);
    ASSERT_EQ(run.result.end, RunEnd::Finished) << run.result.errorText << run.result.offendingStatement;
    struct Expectation {
        const char* variable;
        const char* value;
    };
    const Expectation expectations[] = {
        {"FIRST", "Hallo"},   // the default language, no dialog without the prompt
        {"SECOND", "Welt"},   // each "Set Variable" owns one line
        {"LOG", "matched"},   // condition parameters 1 and 3 translated: RED = rot
        {"GREET", "Guten Tag Hallo"},
        {"TOOLSIZE", "2048"},  // the size of the untranslated name carried to the translation
        {"TOOLSTATE", "TRUE"},
        {"AFTER", "World"},      // English: its translation file holds the originals
        {"FIRSTAGAIN", "Hello"},  // LANGUAGE empty: nothing is translated
        {"LANGUAGE", ""},
    };
    for (const Expectation& expectation : expectations)
        EXPECT_EQ(run.Get(expectation.variable), expectation.value) << expectation.variable;
    EXPECT_EQ(run.dialog.shown, 0);
    const installer::ComponentModel& model = run.components.model();
    ASSERT_EQ(model.Lists().components.size(), 2u);
    EXPECT_EQ(model.Lists().components[0], "VELK-PREDEF-COMPONENT") << "defined by the run start";
    EXPECT_EQ(model.Lists().components[1], "Werkzeuge");
    EXPECT_EQ(model.ComponentDescription("Werkzeuge"), "Helfer");
}

TEST(RunLocalization, ALanguageWithoutFilesFailsTheStatementThatChoseIt) {
    SupportFolder folder;
    WriteTranslations(folder, {{"CODEGEAR$OTHER$CODEGEAR", "a", "b"}});
    Script script = ScriptBuilder().Set("LANGUAGE", "French").Set("NEVER", "ran").Build();
    script.defaultLanguage = "German";
    LocalizedRun run(folder, std::move(script));
    run.Start(/*silent=*/true);
    EXPECT_EQ(run.result.end, RunEnd::Fatal);
    EXPECT_NE(run.result.errorText.find("translations.French"), std::string::npos) << run.result.errorText;
    EXPECT_NE(run.result.errorText.find("Line Number: 11"), std::string::npos)
        << "reported at the statement that set LANGUAGE: " << run.result.errorText;
    EXPECT_EQ(run.Get("NEVER"), "");
}

TEST(RunLocalization, LanguageDialogChoosesOrCancelsBeforeAnyStatement) {
    struct Case {
        const char* name;
        bool silent;
        bool cancel;
        std::optional<std::size_t> answer;
        RunEnd end;
        const char* language;
        const char* first;
        int shown;
    };
    const Case cases[] = {
        {"ok keeps the preselected user language", false, false, std::nullopt, RunEnd::Finished, "German", "Hallo",
         1},
        {"ok with another choice", false, false, 0, RunEnd::Finished, "English", "Hello", 1},
        {"cancel ends the run", false, true, std::nullopt, RunEnd::LanguageCancelled, "", "", 1},
        {"silent takes the preselection", true, true, std::nullopt, RunEnd::Finished, "German", "Hallo", 0},
    };
    for (const Case& c : cases) {
        SupportFolder folder;
        WriteTranslations(folder, TranslatedLines());
        Script script = ScriptBuilder().Set("FIRST", "Hello").Build();
        script.defaultLanguage = "English";
        script.languagePrompt = true;
        LocalizedRun run(folder, std::move(script));
        run.dialog.cancel = c.cancel;
        run.dialog.answer = c.answer;
        run.Start(c.silent);
        EXPECT_EQ(run.result.end, c.end) << c.name << ": " << run.result.errorText;
        EXPECT_EQ(run.Get("LANGUAGE"), c.language) << c.name;
        EXPECT_EQ(run.Get("FIRST"), c.first) << c.name;
        EXPECT_EQ(run.dialog.shown, c.shown) << c.name;
        if (c.shown) {
            EXPECT_EQ(run.dialog.shownLanguages, (std::vector<std::string>{"English", "German"})) << c.name;
            EXPECT_EQ(run.dialog.shownPreselection, 1u) << c.name << ": the user's language (German)";
        }
    }
}

TEST(RunLocalization, PatchRunsKeepTheInstalledLanguage) {
    struct Case {
        const char* name;
        bool patch;
        const char* installed;  // first line of the ".lan" file; null: no file
        const char* language;
        int shown;
    };
    const Case cases[] = {
        {"patch run", true, "English", "English", 0},
        {"patch run without a language file keeps the default", true, nullptr, "German", 0},
        {"first installation asks", false, "English", "German", 1},
    };
    for (const Case& c : cases) {
        SupportFolder folder;
        WriteTranslations(folder, TranslatedLines());
        if (c.installed) folder.Write("cache.lan", {c.installed});
        if (c.patch) folder.Write("Sample.msp", {"patch"});
        Script script = ScriptBuilder().Set("FIRST", "Hello").Build();
        script.defaultLanguage = "German";
        script.languagePrompt = true;
        std::string maintenance = "not asked";
        LocalizedRun run(folder, std::move(script), [&folder, &maintenance](script::TVariableManager& store) {
            maintenance = store.Get("MAINTENANCE");
            return folder.Path() + "cache.lan";
        });
        run.Start(/*silent=*/false);
        EXPECT_EQ(run.result.end, RunEnd::Finished) << c.name << ": " << run.result.errorText;
        EXPECT_EQ(run.Get("LANGUAGE"), c.language) << c.name;
        EXPECT_EQ(run.dialog.shown, c.shown) << c.name;
        EXPECT_EQ(maintenance, "FALSE") << c.name << ": the cache is asked for after the bootstrap";
    }
}

TEST(RunLocalization, UntranslatedSetupLeavesLanguageEmpty) {
    SupportFolder folder;  // no key file
    Script script = ScriptBuilder().Set("FIRST", "Hello").Build();
    script.defaultLanguage = "English";
    script.languagePrompt = true;
    LocalizedRun run(folder, std::move(script));
    run.Start(false);
    EXPECT_EQ(run.result.end, RunEnd::Finished);
    EXPECT_EQ(run.Get("LANGUAGE"), "");
    EXPECT_EQ(run.dialog.shown, 0);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ComponentRun, FeatureSelectionsAndSavedVariablesReachTheSetupDataFile) {
    SupportFolder folder;
    const std::string data = folder.Path() + "saved.dat";
    Script script = ScriptBuilder()
                        .Add("Define Component", {"Tools", "TRUE", "Helpers"})
                        .Add("Define Component", {"Docs", "FALSE", ""})
                        .Add("Set Component State", {"Tools", "FALSE"})
                        .Add("Save Feature Selections", {data})
                        .Add("Set Component State", {"Tools", "TRUE"})
                        .Add("Set Component State", {"Docs", "TRUE"})
                        .Add("Load Feature Selections", {data})
                        .Add("Get Component State", {"Tools", "TOOLS"})
                        .Add("Get Component State", {"$DOCS$", ""})
                        .Add("Get Component State", {"Docs", "DOCS"})
                        .Set("KEPT$VELK$VELK$TRUE", "one")
                        .Set("NOTKEPT$VELK$VELK$FALSE", "two")
                        .Build();
    LocalizedRun run(folder, std::move(script));
    run.Start(true);
    ASSERT_EQ(run.result.end, RunEnd::Finished) << run.result.errorText;
    EXPECT_EQ(run.Get("TOOLS"), "FALSE") << "the saved selection was loaded back";
    EXPECT_EQ(run.Get("DOCS"), "FALSE");
    EXPECT_EQ(run.components.model().SavedVariables(), (TextList{"KEPT"}));

    installer::StoreVariables variables(run.store);
    // An update needs the file; a removal writes nothing; then the update keeps
    // the saved components and writes the variables fresh.
    installer::EndOfRunSave missing{folder.Path() + "missing.dat", false, false, ""};
    EXPECT_FALSE(installer::SaveRunData(run.components, variables, missing));
    EXPECT_FALSE(std::ifstream(missing.setupDataPath).good());
    const std::string before = ReadFile(data);
    installer::EndOfRunSave removed{data, false, true, ""};
    EXPECT_FALSE(installer::SaveRunData(run.components, variables, removed));
    EXPECT_EQ(ReadFile(data), before);
    installer::EndOfRunSave update{data, false, false, ""};
    ASSERT_TRUE(installer::SaveRunData(run.components, variables, update));
    const std::string after = ReadFile(data);
    EXPECT_NE(after.find("\r\nKEPT\r\none\r\n"), std::string::npos) << after;
    EXPECT_EQ(after.find("NOTKEPT"), std::string::npos) << after;
    EXPECT_EQ(after.substr(0, after.find("KEPT")), before.substr(0, before.find("VELK64WOW")))
        << "the update keeps the component sections of the file";
}

TEST(ComponentRun, NothingIsSavedWithoutSavedVariables) {
    SupportFolder folder;
    folder.Write("base.dat", {"x"});
    Script script = ScriptBuilder().Add("Define Component", {"Tools", "TRUE", ""}).Build();
    LocalizedRun run(folder, std::move(script));
    run.Start(true);
    installer::StoreVariables variables(run.store);
    EXPECT_FALSE(installer::SaveRunData(run.components, variables, {folder.Path() + "base.dat", true, false, ""}));
    EXPECT_EQ(ReadFile(folder.Path() + "base.dat"), "x\r\n");
}

TEST(ComponentRun, SizesShowInTheUnitsOfTheMessageTable) {
    const MessageTable saved = EngineMessages();
    std::vector<std::string> block(kMessageBlockLines);
    for (int line = 1; line <= kMessageBlockLines; ++line) block[line - 1] = EngineMessages().Text(line);
    block[message_line::kBytes - 1] = "Byte";
    block[message_line::kKilobytes - 1] = "KiB";
    std::string file;
    for (const std::string& line : block) file += line + "\r\n";
    EngineMessages().Load(file, "English");
    EXPECT_EQ(installer::FormatSizeForDisplay(1048575), "1,048,575 Byte");
    EXPECT_EQ(installer::FormatSizeForDisplay(2097152), "2,048 KiB");
    EXPECT_EQ(installer::FormatSizeForDisplay(1073741824), "1,024 MB");
    EngineMessages() = saved;
}

TEST(ComponentRun, EngineCacheFolderFollowsTheRunsVariables) {
    script::TVariableManager store;
    installer::StoreVariables variables(store);
    store.Set("OVERRIDECACHE", "D:\\Cache\\");
    EXPECT_EQ(installer::EngineCacheFolder(variables, "{R}"), "D:\\Cache\\{R}\\");
    store.Set("ENGINECACHE", "C:\\Data\\{R}\\");
    EXPECT_EQ(installer::EngineCacheFolder(variables, "{R}"), "C:\\Data\\{R}\\")
        << "the bootstrap's engine cache wins";
}

}  // namespace
}  // namespace kaviro::ui
