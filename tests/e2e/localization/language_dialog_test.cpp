// The language dialog of a translated setup under Wine and Xvfb, driven
// through the UI driver: its preselection, OK, and Cancel ending the run
// before any statement.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/e2e/localization/localized_project.h"
#include "tests/e2e/startup/startup_run.h"

namespace kaviro::e2e {
namespace {

using Lines = std::vector<std::string>;

LocalizedProject PromptingProject() {
    LocalizedProject project;
    project.defaultLanguage = "German";
    project.languagePrompt = true;
    project.script = WriteResult("lang=$LANGUAGE$") + Statement("Set Variable", {"GREETING", "Hello"}, "greet") +
                     WriteResult("greeting=$GREETING$");
    project.translations["German"] = "[statement greet]\n2 = Hallo\n";
    project.translations["French"] = "[statement greet]\n2 = Bonjour\n";
    return project;
}

struct ShownDialog {
    std::string handle;
    std::string comboText;
};

// Waits for the language dialog and checks its caption, size and items.
ShownDialog WaitForLanguageDialog() {
    const DriverResult dialog = RunDriver({"wait", "--class", "TSetLanguage", "--timeout", "40000"}, 60);
    EXPECT_EQ(dialog.exitCode, 0) << "no language dialog appeared";
    if (dialog.windows.size() != 1u)
        return {};
    EXPECT_EQ(dialog.windows[0].text, "Select Setup Language");
    EXPECT_EQ(dialog.windows[0].clientSize, "241x127");
    ShownDialog shown{dialog.windows[0].handle, ""};
    const DriverResult controls = RunDriver({"controls", shown.handle});
    for (const DriverWindow& control : controls.windows) {
        if (control.className != "ComboBox")
            continue;
        // The list's own text is its selected item, read through the window message.
        const DriverResult text = RunDriver({"text", control.handle});
        if (!text.lines.empty())
            shown.comboText = text.lines[0];
    }
    return shown;
}

TEST(LanguageDialog, PreselectsTheDefaultLanguageAndOkRunsInTheChosenLanguage) {
    Scratch scratch;
    const std::string setup = BuildLocalizedSetup(scratch, PromptingProject());
    WineProcess process(LocalizedSetupRequest(scratch, setup, {}));
    const ShownDialog dialog = WaitForLanguageDialog();
    ASSERT_FALSE(dialog.handle.empty());
    // The user's language (English under this prefix) is not offered, so
    // the setup's default language is preselected.
    EXPECT_EQ(dialog.comboText, "German");
    EXPECT_EQ(RunDriver({"click-button", dialog.handle, "OK"}).exitCode, 0);
    const SetupRun run = CollectRun(scratch, process.Wait(std::chrono::seconds(60)));
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(run.result, (Lines{"lang=German", "greeting=Hallo"}));
}

TEST(LanguageDialog, CancelEndsTheRunBeforeAnyStatement) {
    Scratch scratch;
    const std::string setup = BuildLocalizedSetup(scratch, PromptingProject());
    WineProcess process(LocalizedSetupRequest(scratch, setup, {}));
    const ShownDialog dialog = WaitForLanguageDialog();
    ASSERT_FALSE(dialog.handle.empty());
    EXPECT_EQ(RunDriver({"click-button", dialog.handle, "Cancel"}).exitCode, 0);
    const SetupRun run = CollectRun(scratch, process.Wait(std::chrono::seconds(60)));
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_TRUE(run.result.empty()) << "no statement ran";
    ASSERT_FALSE(run.trace.empty());
    EXPECT_EQ(std::find(run.trace.begin(), run.trace.end(), "    </velk>"), run.trace.end())
        << "the run ended at its start";
    EXPECT_NE(std::find(run.trace.begin(), run.trace.end(), "    <velk>"), run.trace.end());
    EXPECT_EQ(run.trace.back(), "</Kaviro>") << "start-up still finished the process";
}

TEST(LanguageDialog, SilentRunTakesThePreselectionWithoutAWindow) {
    Scratch scratch;
    const std::string setup = BuildLocalizedSetup(scratch, PromptingProject());
    const SetupRun run = RunLocalizedSetup(scratch, setup, {"/s"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(run.result, (Lines{"lang=German", "greeting=Hallo"}));
}

}  // namespace
}  // namespace kaviro::e2e
