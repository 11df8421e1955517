#include "ui/translations.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "engine/engine_error.h"
#include "localization_fixture.h"

namespace kaviro::ui {
namespace {

using testing::RecordingEngineTexts;
using testing::SupportFolder;

constexpr const char* kMessageBoxId = "{6F0A1C2E-0000-4000-8000-000000000001}";
constexpr const char* kSetVariableId = "{6F0A1C2E-0000-4000-8000-000000000002}";

// Six translatable texts: a message box title and text, a localization
// variable, the same control Name in two dialogs, a Set Variable value.
void WriteTranslatedSetup(const SupportFolder& folder) {
    folder.Write("Widget.mtx",
                 {kMessageBoxId, "", "CODEGEAR$GREETING$CODEGEAR", "Label1", "label1", kSetVariableId});
    folder.Write("translations.Map", {"", "", "", "welcome.dfm", "finish.dfm", ""});
    folder.Write("translations.Original",
                 {"Welcome", "Install #PRODUCT# now", "Hello", "Next", "Finish", "$TARGETDIR$\\app"});
    folder.Write("translations.German", {"Willkommen", "#PRODUCT# jetzt installieren", "Hallo", "Weiter",
                                         "Fertig", "$TARGETDIR$\\Anwendung"});
    folder.Write("translations.French", {"Bienvenue", "Installer #PRODUCT#", "Bonjour", "Suivant", "Terminer",
                                         "$TARGETDIR$\\appli"});
}

Script WidgetScript(std::optional<std::string> localizationMode) {
    Script script;
    script.title = "Widget";
    script.buildSettings = {"PRODUCT", "Widget Pro"};
    if (localizationMode) {
        script.buildSettings.push_back("LOCMODE");
        script.buildSettings.push_back(*localizationMode);
    }
    return script;
}

struct ParameterCase {
    const char* name;
    std::optional<std::string> mode;
    std::string key;
    int k;
    std::string text;
    std::string expected;
};

void PrintTo(const ParameterCase& c, std::ostream* out) {
    *out << c.name;
}

class TranslateParameterTest : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(TranslateParameterTest, FollowsTheLocalizationMode) {
    const ParameterCase& c = GetParam();
    SupportFolder folder;
    WriteTranslatedSetup(folder);
    const Script script = WidgetScript(c.mode);
    RecordingEngineTexts texts;
    Translations translations(script, folder.Path(), texts);
    translations.ReloadTranslations("German");
    EXPECT_EQ(translations.TranslateParameter(c.text, c.key, c.k), c.expected);
}

const std::string kVariableKey = "CODEGEAR$GREETING$CODEGEAR";

INSTANTIATE_TEST_SUITE_P(
    Modes, TranslateParameterTest,
    ::testing::Values(
        // No LOCMODE setting: every keyed text is translated, whatever was written.
        ParameterCase{"NoModeTitle", std::nullopt, kMessageBoxId, 1, "Welcome", "Willkommen"},
        ParameterCase{"NoModeSecondTextExpandsBuildSettings", std::nullopt, kMessageBoxId, 2, "Install now",
                      "Widget Pro jetzt installieren"},
        ParameterCase{"NoModeEditedTextStillTranslated", std::nullopt, kMessageBoxId, 1, "Hi there",
                      "Willkommen"},
        ParameterCase{"KeyIgnoresCase", std::nullopt, "{6f0a1c2e-0000-4000-8000-000000000002}", 1, "x",
                      "$TARGETDIR$\\Anwendung"},
        ParameterCase{"UnknownKeyKeepsText", std::nullopt, "{00000000-0000-0000-0000-000000000000}", 1, "Own",
                      "Own"},
        ParameterCase{"TextNumberBeyondTheFilesKeepsText", std::nullopt, kSetVariableId, 2, "Own", "Own"},
        ParameterCase{"TextNumberZeroKeepsText", std::nullopt, kMessageBoxId, 0, "Own", "Own"},
        // NEWONLY: an edited text is shown as edited; an unchanged one is translated.
        ParameterCase{"NewOnlyUnchangedTitle", std::string("NEWONLY"), kMessageBoxId, 1, "Welcome",
                      "Willkommen"},
        ParameterCase{"NewOnlyEditedText", std::string("NEWONLY"), kMessageBoxId, 2, "Install it now",
                      "Install it now"},
        ParameterCase{"NewOnlyComparesExactly", std::string("newonly"), kMessageBoxId, 1, "welcome",
                      "welcome"},
        ParameterCase{"NewOnlyUnchangedSecondText", std::string("NewOnly"), kMessageBoxId, 2,
                      "Install #PRODUCT# now", "Widget Pro jetzt installieren"},
        // VARSONLY: only localization variables are translated.
        ParameterCase{"VarsOnlyStatement", std::string("VARSONLY"), kMessageBoxId, 1, "Welcome", "Welcome"},
        ParameterCase{"VarsOnlyVariable", std::string("varsonly"), kVariableKey, 1, "Hello", "Hallo"},
        ParameterCase{"VarsOnlyVariableKeyIgnoresCase", std::string("VARSONLY"), "CODEGEAR$greeting$CODEGEAR",
                      1, "Hello", "Hallo"},
        ParameterCase{"OtherModeTranslatesAll", std::string("ALL"), kMessageBoxId, 1, "Edited",
                      "Willkommen"}),
    [](const ::testing::TestParamInfo<ParameterCase>& info) { return std::string(info.param.name); });

class TranslationsTest : public ::testing::Test {
  protected:
    TranslationsTest() : script_(WidgetScript(std::nullopt)), translations_(script_, folder_.Path(), texts_) {
        WriteTranslatedSetup(folder_);
    }
    SupportFolder folder_;
    Script script_;
    RecordingEngineTexts texts_;
    Translations translations_;
};

TEST_F(TranslationsTest, NothingIsTranslatedWhileNoLanguageIsActive) {
    EXPECT_FALSE(translations_.IsLanguageActive());
    EXPECT_EQ(translations_.TranslateParameter("Welcome", kMessageBoxId, 1), "Welcome");
    EXPECT_EQ(translations_.TranslateDialogText("welcome.dfm", "Label1", "Next"), "Next");

    translations_.ReloadTranslations("German");
    translations_.ReloadTranslations("");  // LANGUAGE set back to empty
    EXPECT_FALSE(translations_.IsLanguageActive());
    EXPECT_EQ(translations_.TranslateParameter("Welcome", kMessageBoxId, 1), "Welcome");
    EXPECT_EQ(translations_.LastLoadedLanguage(), "German");
}

TEST_F(TranslationsTest, DialogTextsMatchOwnerAndNameIgnoringCase) {
    translations_.ReloadTranslations("German");
    EXPECT_EQ(translations_.TranslateDialogText("welcome.dfm", "Label1", "base"), "Weiter");
    EXPECT_EQ(translations_.TranslateDialogText("FINISH.DFM", "LABEL1", "base"), "Fertig");
    EXPECT_EQ(translations_.TranslateDialogText("welcome.dfm", "Label2", "base"), "base");
    EXPECT_EQ(translations_.TranslateDialogText("license.dfm", "Label1", "base"), "base");
    EXPECT_EQ(translations_.FindDialogText("license.dfm", "Label1"), std::nullopt);
}

TEST_F(TranslationsTest, DialogTextsIgnoreTheLocalizationMode) {
    const Script varsOnly = WidgetScript("VARSONLY");
    Translations translations(varsOnly, folder_.Path(), texts_);
    translations.ReloadTranslations("German");
    EXPECT_EQ(translations.TranslateDialogText("welcome.dfm", "Label1", "Next"), "Weiter");
    EXPECT_EQ(translations.TranslateParameter("Welcome", kMessageBoxId, 1), "Welcome");
}

TEST_F(TranslationsTest, ReloadsOnlyWhenLanguageChangesToANewValue) {
    translations_.ReloadTranslations("German");
    EXPECT_EQ(translations_.TranslateParameter("", kMessageBoxId, 1), "Willkommen");

    // Files changed on disk are not read again while LANGUAGE stays the same,
    // nor after a detour through an empty LANGUAGE.
    folder_.Write("translations.German", {"Neu", "", "", "", "", ""});
    translations_.ReloadTranslations("German");
    translations_.ReloadTranslations("");
    translations_.ReloadTranslations("German");
    EXPECT_EQ(translations_.TranslateParameter("", kMessageBoxId, 1), "Willkommen");

    translations_.ReloadTranslations("French");
    EXPECT_EQ(translations_.CurrentLanguage(), "French");
    EXPECT_EQ(translations_.TranslateParameter("", kMessageBoxId, 1), "Bienvenue");
    translations_.ReloadTranslations("German");
    EXPECT_EQ(translations_.TranslateParameter("", kMessageBoxId, 1), "Neu");
}

TEST_F(TranslationsTest, SharedMessageFileIsLoadedWhenPresent) {
    folder_.Write("shared.translations.French", {"x"});
    translations_.ReloadTranslations("German");
    EXPECT_TRUE(texts_.loaded.empty());
    translations_.ReloadTranslations("French");
    ASSERT_EQ(texts_.loaded.size(), 1u);
    EXPECT_EQ(texts_.loaded[0], SupportFilePath(folder_.Path(), "shared.translations.French"));
    translations_.ReloadTranslations("French");
    EXPECT_EQ(texts_.loaded.size(), 1u);
}

struct BrokenFileCase {
    const char* name;
    std::string file;
    bool remove;  // else: write it one line short
};

void PrintTo(const BrokenFileCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenTranslationFileTest : public TranslationsTest,
                                  public ::testing::WithParamInterface<BrokenFileCase> {};

TEST_P(BrokenTranslationFileTest, RaisesAFileErrorAndKeepsTheLoadedLanguage) {
    const BrokenFileCase& c = GetParam();
    translations_.ReloadTranslations("German");
    folder_.Write("translations.Spanish", {"a", "b", "c", "d", "e", "f"});
    if (c.remove) {
        folder_.Remove(c.file);
    } else {
        folder_.Write(c.file, {"1", "2", "3", "4", "5"});
    }
    try {
        translations_.ReloadTranslations("Spanish");
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_NE(std::string(error.what()).find(c.file), std::string::npos) << error.what();
    }
    EXPECT_EQ(translations_.CurrentLanguage(), "German");
    EXPECT_EQ(translations_.TranslateParameter("", kMessageBoxId, 1), "Willkommen");
    EXPECT_EQ(translations_.TranslateDialogText("finish.dfm", "Label1", ""), "Fertig");
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenTranslationFileTest,
                         ::testing::Values(BrokenFileCase{"MissingLanguage", "translations.Spanish", true},
                                           BrokenFileCase{"MissingMap", "translations.Map", true},
                                           BrokenFileCase{"MissingOriginal", "translations.Original", true},
                                           BrokenFileCase{"MissingKeys", "Widget.mtx", true},
                                           BrokenFileCase{"ShortLanguage", "translations.Spanish", false},
                                           BrokenFileCase{"ShortMap", "translations.Map", false},
                                           BrokenFileCase{"ShortOriginal", "translations.Original", false}),
                         [](const ::testing::TestParamInfo<BrokenFileCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kaviro::ui
