#include <gtest/gtest.h>

#include "script/validation.h"
#include "script_builder.h"

namespace kaviro::script {
namespace {

using testing::ScriptBuilder;

int64_t Validate(const Script& script, TextList* executionList = nullptr) {
    TVariableManager store;
    TextList list;
    const int64_t result = ValidateScript(script, store, list);
    if (executionList) *executionList = list;
    return result;
}

TEST(Validation, DeclarationsHappenInScriptOrder) {
    EXPECT_EQ(Validate(ScriptBuilder().If("X", "0", "1").Add("End").Set("X", "1").Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Set("X", "1").If("X", "0", "1").Add("End").Build()), kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder().Set("$X$", "1").If("$x$", "0", "1").Add("End").Build()), kScriptValid);
    // A saved variable is declared before the per-statement pass.
    EXPECT_EQ(Validate(ScriptBuilder().If("X", "0", "1").Add("End").Set("X$VELK$VELK$TRUE", "1").Build()),
              kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder().If("X", "0", "1").Add("End").Set("X$VELK$VELK$FALSE", "1").Build()), 0);
    // Predefined names need no declaration.
    EXPECT_EQ(Validate(ScriptBuilder().If("SILENT", "4", "TRUE").Add("End").Build()), kScriptValid);
    // Result parameters declare their variables.
    EXPECT_EQ(Validate(ScriptBuilder()
                           .Add("Mathematics", {"1", "2", "0", "SUM"})
                           .Add("Parse String", {"a,b", ",", "LEFT", "$RIGHT$", "0", "FALSE", "FALSE"})
                           .If("SUM", "0", "3")
                           .If("RIGHT", "0", "$LEFT$")
                           .Add("End")
                           .Add("End")
                           .Build()),
              kScriptValid);
}

TEST(Validation, ConditionsNeedTheirVariables) {
    EXPECT_EQ(Validate(ScriptBuilder().If("", "0", "1").Add("End").Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "$NOWHERE$").Add("End").Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "NOWHERE").Add("End").Build()), kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "a").ElseIf("GHOST", "0", "1").Add("End").Build()), 1);
}

TEST(Validation, BlockBalanceAndLabels) {
    const int64_t beyond = 3;
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "a").If("TITLE", "0", "a").Add("End").Build()), beyond);
    // A disabled End does not count.
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "a").Set("A", "1").Add("End", {}, true).Build()), beyond);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Label", {"start"}).Add("Label", {"START"}).Build()), 1);
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "a").Add("Label", {"inner"}).Add("End").Build()), 1);
    // A disabled label inside a block passes the balance, but its name still counts.
    EXPECT_EQ(Validate(ScriptBuilder().If("TITLE", "0", "a").Add("Label", {"inner"}, true).Add("End").Build()),
              kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder()
                           .If("TITLE", "0", "a")
                           .Add("Label", {"inner"}, true)
                           .Add("End")
                           .Add("Label", {"Inner"})
                           .Build()),
              3);
    EXPECT_EQ(Validate(ScriptBuilder().Add("GoTo Label", {"nowhere"}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("GoTo Label", {"later"}).Add("Label", {"LATER"}).Build()), kScriptValid);
}

TEST(Validation, ExpressionsAndRequiredParameters) {
    EXPECT_EQ(Validate(ScriptBuilder().Add("Evaluate Expression", {"$A$ = $B$", "R"}).Build()), kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Evaluate Expression", {"$A$ == $B$", "R"}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Convert Case", {"MISSING", "TRUE"}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Convert Case", {"$TITLE$", "TRUE"}).Build()), kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Find All Files", {"C:\\", "*.*", "TRUE", ""}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Check Disk Space", {""}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Is MSI Setup Installed", {"{X}", ""}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Display Dialog", {"", "WIZARD", "TRUE", ""}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Display Dialog", {"welcome", "RESULT", "TRUE", "SHOWIT"}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Web Media Block", {"media*1", "http://x"}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Web Media Block", {"C:\\dir\\media1", "http://x"}).Build()), kScriptValid);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Web Media Block", {"media1", ""}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Delete Files", {"C:\\x", "*.tmp", "FALSE", "FALSE"}).Build()), 0);
    EXPECT_EQ(Validate(ScriptBuilder().Add("Install Files", {"a", "b", ""}).Build()), 0);
    // Disabled statements are not checked.
    EXPECT_EQ(Validate(ScriptBuilder().Add("Convert Case", {"MISSING", "TRUE"}, true).Build()), kScriptValid);
    // A parameter the package lacks makes the statement offending instead of raising.
    EXPECT_EQ(Validate(ScriptBuilder().Set("A", "1").Add("Mathematics", {"1"}).Build()), 1);
}

TEST(Validation, WizardLoopHoldsOnlyDialogs) {
    auto loop = [](const char* inner, bool disabled) {
        return ScriptBuilder()
            .Add("Wizard Loop")
            .Add("Display Dialog", {"welcome", "WIZARD", "TRUE", ""})
            .Add(inner, {"A", "1"}, disabled)
            .Add("End")
            .Build();
    };
    EXPECT_EQ(Validate(loop("Set Variable", false)), 2);
    EXPECT_EQ(Validate(loop("Set Variable", true)), kScriptValid);
    EXPECT_EQ(Validate(loop("Comment", false)), kScriptValid);
    EXPECT_EQ(Validate(loop("Ignore", false)), kScriptValid);
}

TEST(Validation, ExecutionListMarksHeaderCommands) {
    TextList list;
    EXPECT_EQ(Validate(ScriptBuilder()
                           .Set("A", "1")
                           .Add("Write Registry", {"x"})
                           .Add("Create Folder", {"x"}, true)
                           .Add("Delete Files", {"C:\\x", "*", "TRUE", "FALSE"})
                           .Add("Install Files", {"a", "b", "C:\\Target"})
                           .Build(),
                       &list),
              kScriptValid);
    EXPECT_EQ(list, (TextList{"SKIP", "FALSE", "SKIP", "FALSE", "FALSE"}));
}

TEST(Validation, DeclaresWithEmptyValues) {
    TVariableManager store;
    TextList list;
    const Script script = ScriptBuilder().Set("Mine", "value").Add("Get Temporary File", {"$tmp$"}).Build();
    ASSERT_EQ(ValidateScript(script, store, list), kScriptValid);
    EXPECT_TRUE(store.Exists("MINE"));
    EXPECT_EQ(store.Get("MINE"), "");
    TextList dump;
    store.Dump(dump);
    EXPECT_EQ(dump[dump.size() - 2], "TMP") << "declared names are upper-cased and stripped";
    EXPECT_TRUE(store.Exists("VELK_DISABLEROLLBACK"));
}

}  // namespace
}  // namespace kaviro::script
