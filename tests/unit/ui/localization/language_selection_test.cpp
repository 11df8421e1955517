#include "ui/language_selection.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "localization_fixture.h"

namespace kaviro::ui {
namespace {

using testing::FixedLocale;
using testing::MapVariables;
using testing::RecordingEngineTexts;
using testing::ScriptedDialog;
using testing::SupportFolder;

constexpr int kGerman = 1031;
constexpr int kFrench = 1036;

struct SelectionCase {
    const char* name = "";
    std::vector<std::string> languageFiles{};  // languages with a "translations." file
    bool keyFile = true;
    bool prompt = true;
    bool maintenance = false;
    bool patch = false;
    bool silent = false;
    int userLanguage = kGerman;
    std::optional<std::string> installedLanguage = std::nullopt;  // the ".lan" file
    bool cancel = false;
    // Expected:
    std::string language{};
    bool dialogShown = false;
    LanguageSelectionOutcome outcome = LanguageSelectionOutcome::Chosen;
};

void PrintTo(const SelectionCase& c, std::ostream* out) {
    *out << c.name;
}

class SelectLanguageTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectLanguageTest, ChoosesTheRunLanguage) {
    const SelectionCase& c = GetParam();
    SupportFolder folder;
    SupportFolder cache;
    if (c.keyFile)
        folder.Write("Widget.mtx", {"Label1"});
    folder.Write("translations.Map", {"welcome.dfm"});
    folder.Write("translations.Original", {"Next"});
    folder.Write("shared.translations.German", {"x"});
    for (const std::string& language : c.languageFiles) folder.Write("translations." + language, {language});
    if (c.installedLanguage)
        cache.Write("Widget.lan", {*c.installedLanguage});

    Script script;
    script.title = "Widget";
    RecordingEngineTexts texts;
    Translations translations(script, folder.Path(), texts);
    translations.SetCurrentLanguage("stale");
    const FileSystemLanguageFiles files;
    const FixedLocale locale(c.userLanguage);
    ScriptedDialog dialog;
    dialog.cancel = c.cancel;
    MapVariables variables;

    LanguageSelectionInputs inputs;
    inputs.defaultLanguage = "English";
    inputs.languagePrompt = c.prompt;
    inputs.maintenance = c.maintenance;
    inputs.patchFileExists = c.patch;
    inputs.silent = c.silent;
    inputs.installedLanguageFile = SupportFilePath(cache.Path(), "Widget.lan");

    const auto outcome = SelectLanguage(translations, inputs, {files, texts, locale, dialog, variables});
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(dialog.shown, c.dialogShown ? 1 : 0);
    ASSERT_FALSE(variables.writes.empty());
    EXPECT_EQ(variables.writes.back().name, "LANGUAGE");
    EXPECT_EQ(variables.writes.back().context, "Initialization");
    if (outcome == LanguageSelectionOutcome::Chosen) {
        EXPECT_EQ(variables.GetVariable("LANGUAGE"), c.language);
        EXPECT_EQ(translations.CurrentLanguage(), c.language);
    } else {
        EXPECT_EQ(variables.GetVariable("LANGUAGE"), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectLanguageTest,
    ::testing::Values(SelectionCase{.name = "GermanSystemPreselectsGerman",
                                    .languageFiles = {"English", "German"},
                                    .language = "German",
                                    .dialogShown = true},
                      SelectionCase{.name = "FrenchSystemPreselectsTheDefault",
                                    .languageFiles = {"English", "German"},
                                    .userLanguage = kFrench,
                                    .language = "English",
                                    .dialogShown = true},
                      SelectionCase{.name = "NoDefaultFilePreselectsTheFirst",
                                    .languageFiles = {"Italian", "Spanish"},
                                    .userLanguage = kFrench,
                                    .language = "Italian",
                                    .dialogShown = true},
                      SelectionCase{.name = "PromptOffTakesTheDefault",
                                    .languageFiles = {"English", "German"},
                                    .prompt = false,
                                    .language = "English"},
                      SelectionCase{.name = "PromptOffWithoutDefaultFileLeavesItEmpty",
                                    .languageFiles = {"German"},
                                    .prompt = false,
                                    .language = ""},
                      SelectionCase{.name = "SilentTakesThePreselection",
                                    .languageFiles = {"English", "German"},
                                    .silent = true,
                                    .language = "German"},
                      SelectionCase{.name = "CancelEndsTheRun",
                                    .languageFiles = {"English", "German"},
                                    .cancel = true,
                                    .dialogShown = true,
                                    .outcome = LanguageSelectionOutcome::Cancelled},
                      SelectionCase{.name = "MaintenanceTakesTheInstalledLanguage",
                                    .languageFiles = {"English", "German"},
                                    .maintenance = true,
                                    .userLanguage = kFrench,
                                    .installedLanguage = "German",
                                    .language = "German"},
                      SelectionCase{.name = "PatchTakesTheInstalledLanguage",
                                    .languageFiles = {"English", "German"},
                                    .patch = true,
                                    .userLanguage = kFrench,
                                    .installedLanguage = "German",
                                    .language = "German"},
                      SelectionCase{.name = "MaintenanceWithoutLanguageFileTakesTheDefault",
                                    .languageFiles = {"English", "German"},
                                    .maintenance = true,
                                    .language = "English"},
                      SelectionCase{.name = "InstalledLanguageNoLongerOfferedTakesTheDefault",
                                    .languageFiles = {"English", "German"},
                                    .maintenance = true,
                                    .installedLanguage = "Dutch",
                                    .language = "English"},
                      SelectionCase{.name = "NoKeyFileIsUntranslated",
                                    .languageFiles = {"English", "German"},
                                    .keyFile = false,
                                    .language = ""},
                      SelectionCase{
                          .name = "NoLanguageFilesIsUntranslated", .languageFiles = {}, .language = ""}),
    [](const ::testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

TEST(SelectLanguageDialogTest, OffersTheLanguageFilesWithTheMessageTexts) {
    SupportFolder folder;
    folder.Write("Widget.mtx", {"Label1"});
    for (const char* name :
         {"translations.Map", "translations.Original", "translations.German", "translations.English",
          "shared.translations.German", "translations.shared", "readme.txt"}) {
        folder.Write(name, {"x"});
    }
    Script script;
    script.title = "Widget";
    RecordingEngineTexts texts;
    Translations translations(script, folder.Path(), texts);
    const FileSystemLanguageFiles files;
    const FixedLocale locale(kFrench);
    ScriptedDialog dialog;
    dialog.answer = 1;
    MapVariables variables;
    LanguageSelectionInputs inputs;
    inputs.defaultLanguage = "German";
    inputs.languagePrompt = true;

    EXPECT_EQ(SelectLanguage(translations, inputs, {files, texts, locale, dialog, variables}),
              LanguageSelectionOutcome::Chosen);
    EXPECT_EQ(dialog.shownLanguages, (std::vector<std::string>{"English", "German"}));
    EXPECT_EQ(dialog.shownPreselection, 1u);
    EXPECT_EQ(dialog.shownTexts.caption, "message 89");
    EXPECT_EQ(dialog.shownTexts.prompt, "message 90");
    EXPECT_EQ(dialog.shownTexts.ok, "message 38");
    EXPECT_EQ(dialog.shownTexts.cancel, "message 39");
    EXPECT_EQ(variables.GetVariable("LANGUAGE"), "German");
}

TEST(PreselectedLanguageTest, UserLanguageFirstThenDefaultThenFirstItem) {
    const std::vector<std::string> items{"French", "English", "German", "english"};
    EXPECT_EQ(PreselectedLanguage(items, "English", "German"), 2u);
    EXPECT_EQ(PreselectedLanguage(items, "English", "Dutch"), 1u);
    EXPECT_EQ(PreselectedLanguage(items, "Dutch", "Dutch"), 0u);
    EXPECT_EQ(PreselectedLanguage(items, "German", "ENGLISH"), 1u);
}

}  // namespace
}  // namespace kaviro::ui
