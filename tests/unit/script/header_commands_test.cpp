#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "script/header_commands.h"
#include "script/run_context.h"
#include "script_builder.h"

namespace kaviro::script {
namespace {

using testing::ScriptBuilder;

class HeaderCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { InstallerPropertyQueue().Clear(); }
    void TearDown() override { InstallerPropertyQueue().Clear(); }

    // Statements 0 and 2 carry headers; statement 1 has none.
    static Script ScriptWithHeaders() {
        Script script = ScriptBuilder()
                            .Add("Create Folder", {"C:\\A"})
                            .Add("Comment")
                            .Add("Delete Files", {"C:\\B\\*.tmp"})
                            .Build();
        script.commandHeaders = {"DF_2", "2", "CF_0", "0", "CF_OTHER", "0"};
        return script;
    }
};

TEST_F(HeaderCommandsTest, SweepHandsOverFalseInStatementOrderFirstEntryWins) {
    const Script script = ScriptWithHeaders();
    RunEnvironment environment;
    TVariableManager variables;
    environment.variables = &variables;
    RunContext context(script, environment);
    RunHeaderSweep(context);
    EXPECT_EQ(context.propertyList, (TextList{"ACF_0", "FALSE", "ADF_2", "FALSE"}));
    EXPECT_EQ(InstallerPropertyQueue().Names(), (TextList{"ACF_0", "ADF_2"}));
    EXPECT_FALSE(context.headerSweep);
}

TEST_F(HeaderCommandsTest, BeginHeaderCommandMarksTheStatementAndHandsOverTrue) {
    const Script script = ScriptWithHeaders();
    RunEnvironment environment;
    TVariableManager variables;
    environment.variables = &variables;
    RunContext context(script, environment);
    context.executionList = {"FALSE", "SKIP", "FALSE"};
    EXPECT_EQ(BeginHeaderCommand(context, 2), "DF_2");
    EXPECT_EQ(context.executionList, (TextList{"FALSE", "SKIP", "TRUE"}));
    EXPECT_EQ(context.propertyList, (TextList{"ADF_2", "TRUE"}));
    // A statement without a header fails the strict lookup.
    EXPECT_THROW(BeginHeaderCommand(context, 1), EngineError);
}

TEST_F(HeaderCommandsTest, ValuesKeepLineBreaksAsNewlineMarkers) {
    const Script script = ScriptBuilder().Build();
    RunEnvironment environment;
    TVariableManager variables;
    environment.variables = &variables;
    RunContext context(script, environment);
    HandOverProperty(context, "PCF_0_1", "C:\\One\r\nC:\\Two\rC:\\Three");
    EXPECT_EQ(context.propertyList, (TextList{"PCF_0_1", "C:\\One$NEWLINE$C:\\Two\rC:\\Three"}));
    EXPECT_EQ(InstallerPropertyQueue().Values(), (TextList{"C:\\One$NEWLINE$C:\\Two\rC:\\Three"}));
}

}  // namespace
}  // namespace kaviro::script
