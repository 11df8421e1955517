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
    void SetUp() override {
        InstallerPropertyQueue().Clear();
        environment_.variables = &variables_;
    }
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

    const Script script_ = ScriptWithHeaders();
    TVariableManager variables_;
    RunEnvironment environment_;
    RunContext context_{script_, environment_};
};

TEST_F(HeaderCommandsTest, SweepHandsOverFalseInStatementOrderFirstEntryWins) {
    RunHeaderSweep(context_);
    EXPECT_EQ(context_.propertyList, (TextList{"ACF_0", "FALSE", "ADF_2", "FALSE"}));
    EXPECT_EQ(InstallerPropertyQueue().Names(), (TextList{"ACF_0", "ADF_2"}));
    EXPECT_FALSE(context_.headerSweep);
}

TEST_F(HeaderCommandsTest, BeginHeaderCommandMarksTheStatementAndHandsOverTrue) {
    context_.executionList = {"FALSE", "SKIP", "FALSE"};
    EXPECT_EQ(BeginHeaderCommand(context_, 2), "DF_2");
    EXPECT_EQ(context_.executionList, (TextList{"FALSE", "SKIP", "TRUE"}));
    EXPECT_EQ(context_.propertyList, (TextList{"ADF_2", "TRUE"}));
    // A statement without a header fails the strict lookup.
    EXPECT_THROW(BeginHeaderCommand(context_, 1), EngineError);
}

TEST_F(HeaderCommandsTest, ValuesKeepLineBreaksAsNewlineMarkers) {
    HandOverProperty(context_, "PCF_0_1", "C:\\One\r\nC:\\Two\rC:\\Three");
    EXPECT_EQ(context_.propertyList, (TextList{"PCF_0_1", "C:\\One$NEWLINE$C:\\Two\rC:\\Three"}));
    EXPECT_EQ(InstallerPropertyQueue().Values(), (TextList{"C:\\One$NEWLINE$C:\\Two\rC:\\Three"}));
}

}  // namespace
}  // namespace kaviro::script
