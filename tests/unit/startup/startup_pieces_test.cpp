#include <gtest/gtest.h>

#include "engine/dialog_preload_step.h"
#include "engine/window_caption.h"

namespace kaviro {
namespace {

TEST(WindowCaption, Rule) {
    EXPECT_EQ(ApplyWindowCaptionRule("", false), "Kaviro Wizard");
    EXPECT_EQ(ApplyWindowCaptionRule("Acme Tools", false), "Acme Tools - Kaviro Wizard");
    EXPECT_EQ(ApplyWindowCaptionRule("Acme Tools", true), "Acme Tools");
    EXPECT_EQ(ApplyWindowCaptionRule("", true), "");
}

TEST(DialogPreloadStep, ActiveDisplayDialogStatementsInScriptOrder) {
    Script script;
    script.statementNames = {"Display Dialog", "Set Variable",   "Display Dialog",
                             "display dialog", "Display Dialog", "Display Dialog"};
    script.statementFlags = {"", "", "C", "", "c", ""};
    // Disabled is exactly "C"; statement names compare exactly.
    EXPECT_EQ(ActiveDialogStatements(script), (std::vector<std::size_t>{0, 4, 5}));
}

}  // namespace
}  // namespace kaviro
