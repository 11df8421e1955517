// Translated setups and the component model under Wine: silent runs of
// builder-made setups; results written with "Write to Text File" and read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/localization/localized_project.h"

namespace kaviro::e2e {
namespace {

using Lines = std::vector<std::string>;

TEST(LocalizedRuns, DefaultLanguageSilentlyThenTheScriptSwitchesLanguage) {
    Scratch scratch;
    LocalizedProject project;
    project.defaultLanguage = "German";
    project.components = {{"Tools", "2048"}};
    project.script =
        Statement("Set Variable", {"ROUND", "0"}) + Statement("Set Variable", {"EDITION", "Gruppe"}) +
        Statement("Label", {"again"}) + Statement("Mathematics", {"$ROUND$", "1", "0", "ROUND"}) +
        WriteResult("round=$ROUND$ lang=$LANGUAGE$") +
        Statement("Set Variable", {"GREETING", "Hello"}, "greet") + WriteResult("greeting=$GREETING$") +
        Statement("If", {"EDITION", "0", "Team", "FALSE"}, "edition-check") + WriteResult("edition=matched") +
        "End\n" + Statement("Localization Variable", {"$WORD$", "Yes"}) + WriteResult("word=$WORD$") +
        Statement("Define Component", {"Tools", "TRUE", "Helpers"}, "tools") +
        Statement("Get Component Space", {"Tools", "SPACE"}, "tools-space") +
        Statement("Get Component State", {"Tools", "STATE"}, "tools-state") +
        WriteResult("tools=$SPACE$,$STATE$") + Statement("Set Variable", {"LANGUAGE", "French"}) +
        Statement("If", {"ROUND", "0", "1", "FALSE"}) + Statement("GoTo Label", {"again"}) + "End\n" +
        Statement("Set Variable", {"LANGUAGE", ""}) + Statement("Set Variable", {"PLAIN", "Hello"}, "plain") +
        WriteResult("plain=$PLAIN$");
    project.translations["German"] =
        "[statement greet]\n2 = Hallo\n"
        "[statement edition-check]\n3 = Gruppe\n"
        "[variables]\nWORD = Ja\n"
        "[statement tools]\n1 = Werkzeuge\n3 = Helfer\n"
        "[statement tools-space]\n1 = Werkzeuge\n"
        "[statement tools-state]\n1 = Werkzeuge\n"
        "[statement plain]\n2 = Hallo\n";
    project.translations["French"] =
        "[statement greet]\n2 = Bonjour\n"
        "[variables]\nWORD = Oui\n"
        "[statement tools]\n1 = Outils\n"
        "[statement tools-space]\n1 = Outils\n"
        "[statement tools-state]\n1 = Outils\n";
    const std::string setup = BuildLocalizedSetup(scratch, project);
    const SetupRun run = RunLocalizedSetup(scratch, setup, {"/s"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    // French leaves the condition's operand as written, so it no longer matches.
    // The translated component names exist only because "Get Component State"
    // translated its name too; their size comes from the untranslated name.
    EXPECT_EQ(run.result, (Lines{"round=1 lang=German", "greeting=Hallo", "edition=matched", "word=Ja",
                                 "tools=2048,TRUE", "round=2 lang=French", "greeting=Bonjour", "word=Oui",
                                 "tools=2048,TRUE", "plain=Hello"}));
}

TEST(LocalizedRuns, UntranslatedSetupRunsWithAnEmptyLanguage) {
    Scratch scratch;
    LocalizedProject project;
    project.languagePrompt = true;  // allowed, but without translations there is nothing to choose
    project.script = WriteResult("lang=[$LANGUAGE$]") + Statement("Localization Variable", {"WORD", "Yes"}) +
                     WriteResult("word=$WORD$");
    const SetupRun run = RunLocalizedSetup(scratch, BuildLocalizedSetup(scratch, project), {"/s"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(run.result, (Lines{"lang=[]", "word=Yes"}));
}

TEST(ComponentRuns, FeatureSelectionsSavedLoadedAndUpdatedAtTheEnd) {
    Scratch scratch;
    LocalizedProject project;
    project.components = {{"Core", "1000"}, {"Extras", "300"}};
    const std::string dataFile = "$OVERRIDECACHE$$REVISIONCODE$\\" + std::string(kLocalizedBaseName) + ".dat";
    project.script =
        Statement("Set Variable", {"MODE", ""}) + Statement("If", {"MODE", "0", "probe", "FALSE"}) +
        WriteResult("$REVISIONCODE$") + "Terminate Install\nEnd\n" +
        Statement("Define Component", {"Core", "TRUE", "The core"}) +
        Statement("Define Component", {"Extras", "FALSE", ""}) +
        Statement("Define Component", {"Extras\\Help", "TRUE", ""}) +
        Statement("Set Component State", {"Core", "FALSE"}) +
        Statement("Set Component Visibility", {"Extras\\Help", "FALSE"}) +
        Statement("Save Feature Selections", {dataFile}) +
        Statement("Set Component State", {"Core", "TRUE"}) + Statement("Set Component State", {"Extras", "TRUE"}) +
        Statement("Set Component Visibility", {"Extras\\Help", "TRUE"}) +
        Statement("Load Feature Selections", {dataFile}) +
        Statement("Get Component State", {"Core", "CORE"}) + Statement("Get Component State", {"Extras", "EXTRAS"}) +
        Statement("Get Component State", {"Extras\\Help", "HELP"}) + WriteResult("loaded=$CORE$,$EXTRAS$,$HELP$") +
        Statement("Set Component State", {"Core", "TRUE"}) +
        Statement("Load Feature Selections", {"$TEMPDIR$missing.dat"}) +
        Statement("Get Component State", {"Core", "CORE"}) + Statement("Get Component Space", {"", "SELECTED"}) +
        WriteResult("after missing=$CORE$,$SELECTED$") +
        Statement("Set Variable", {"KEPT$VELK$VELK$TRUE", "two words"}) +
        Statement("Set Variable", {"DROPPED$VELK$VELK$FALSE", "no"});
    const std::string setup = BuildLocalizedSetup(scratch, project);

    // The first run tells the revision code, which names the cache folder.
    const SetupRun probe = RunLocalizedSetup(scratch, setup, {"/s", "MODE=probe"});
    ASSERT_EQ(probe.result.size(), 1u) << probe.run.output;
    const std::string revision = probe.result[0];
    const std::string cacheRoot = scratch.Path() + "/cache/";
    std::filesystem::create_directories(cacheRoot + revision);

    const SetupRun run =
        RunLocalizedSetup(scratch, setup, {"/s", "OVERRIDECACHE=" + ToWindowsPath(cacheRoot)});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    // Loading merged the saved states back; a missing file changed nothing.
    // Selected: the always-present component (0), Core (1000) and Extras\Help (0).
    EXPECT_EQ(run.result, (Lines{"loaded=FALSE,FALSE,TRUE", "after missing=TRUE,1000"}));

    // The end of the run updated the file the script saved: its component
    // sections as saved, the saved variable written fresh.
    const Lines data = ReadTextLines(cacheRoot + revision + "/" + kLocalizedBaseName + ".dat");
    const Lines head = {"VELK-PREDEF-COMPONENT", "Core", "Extras", "Extras\\Help", "$", "TRUE", "FALSE", "FALSE",
                        "TRUE", "$", "$", "Extras\\Help", "$", "$"};
    ASSERT_GE(data.size(), head.size());
    EXPECT_EQ(Lines(data.begin(), data.begin() + static_cast<long>(head.size())), head);
    const auto kept = std::find(data.begin(), data.end(), "KEPT");
    ASSERT_NE(kept, data.end()) << "the saved variable is in the file";
    ASSERT_LT(kept + 1, data.end());
    EXPECT_EQ(*(kept + 1), "two words");
    EXPECT_EQ(std::find(data.begin(), data.end(), "DROPPED"), data.end());
    EXPECT_EQ(std::find(data.begin(), data.end(), "VELK64WOW") + 1 < data.end() ?
                  *(std::find(data.begin(), data.end(), "VELK64WOW") + 1) : std::string(),
              "Win32");
}

}  // namespace
}  // namespace kaviro::e2e
