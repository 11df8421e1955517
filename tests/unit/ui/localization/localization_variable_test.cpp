#include "ui/localization_variable_command.h"

#include <gtest/gtest.h>

#include "localization_fixture.h"

namespace kaviro::ui {
namespace {

using testing::MapVariables;
using testing::RecordingEngineTexts;
using testing::SupportFolder;

class LocalizationVariableTest : public ::testing::Test {
  protected:
    LocalizationVariableTest() : translations_(script_, folder_.Path(), texts_) {
        script_.title = "Widget";
        folder_.Write("Widget.mtx", {"CODEGEAR$Greeting$CODEGEAR", "{STATEMENT}"});
        folder_.Write("translations.Map", {"", ""});
        folder_.Write("translations.Original", {"Hello $USER$", "Other"});
        folder_.Write("translations.German", {"Hallo $USER$", "Andere"});
        variables_.values["USER"] = "Ada";
    }
    SupportFolder folder_;
    Script script_;
    RecordingEngineTexts texts_;
    Translations translations_;
    MapVariables variables_;
};

TEST_F(LocalizationVariableTest, CreatesTheVariableAndAssignsTheTranslatedExpandedText) {
    translations_.ReloadTranslations("German");
    RunLocalizationVariable("$greeting$", "Hello $USER$", translations_, variables_);
    ASSERT_EQ(variables_.writes.size(), 2u);
    EXPECT_EQ(variables_.writes[0].name, "GREETING");
    EXPECT_EQ(variables_.writes[0].value, "");
    EXPECT_EQ(variables_.writes[1].value, "Hallo Ada");
    for (const auto& write : variables_.writes) EXPECT_EQ(write.context, "Localization Variable Action");
}

TEST_F(LocalizationVariableTest, WithoutLanguageTheTextIsOnlyExpanded) {
    variables_.values["GREETING"] = "old";
    RunLocalizationVariable("Greeting", "Hello $USER$", translations_, variables_);
    ASSERT_EQ(variables_.writes.size(), 1u);  // it existed: no creation
    EXPECT_EQ(variables_.GetVariable("GREETING"), "Hello Ada");
}

TEST_F(LocalizationVariableTest, OnlyItsOwnKeyTranslatesIt) {
    translations_.ReloadTranslations("German");
    RunLocalizationVariable("Farewell", "Other", translations_, variables_);
    EXPECT_EQ(variables_.GetVariable("FAREWELL"), "Other");
}

TEST_F(LocalizationVariableTest, EmptyNameWritesNothing) {
    translations_.ReloadTranslations("German");
    RunLocalizationVariable("$$", "Hello", translations_, variables_);
    RunLocalizationVariable("", "Hello", translations_, variables_);
    EXPECT_TRUE(variables_.writes.empty());
}

}  // namespace
}  // namespace kaviro::ui
