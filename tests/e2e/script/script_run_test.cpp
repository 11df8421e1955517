// Whole scripts under Wine: setups built by kaviro-build from projects the
// tests write, results read back from files the scripts wrote.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/script/script_project.h"

namespace kaviro::e2e {
namespace {

using Lines = std::vector<std::string>;

// Script lines: a statement name with its parameters.
std::string Statement(const std::string& name, const Lines& parameters) {
    std::string text = name + "\n";
    for (const std::string& parameter : parameters)
        text += parameter.empty() ? "    |\n" : "    | " + parameter + "\n";
    return text;
}

std::string Write(const std::string& text) {
    return Statement("Write to Text File", {"$TEMPDIR$result.txt", text, ""});
}

Lines ResultLines(const ScriptRun& run) {
    return ReadTextLines(run.tempFolder + "/result.txt");
}

TEST(ScriptRuns, PredefinedVariablesBranchesAndTextFiles) {
    Scratch scratch;
    const std::string script =
        Statement("Set Variable", {"COUNT", "7"}) +
        // If / Else If / Else: only the second branch runs.
        Statement("If", {"COUNT", "2", "10", "FALSE"}) + Write("branch=big") +
        Statement("Else If", {"COUNT", "2", "5", "FALSE"}) + Write("branch=middle") + Statement("Else", {}) +
        Write("branch=small") + "End\n" + Write("title=$TITLE$") + Write("version=$VERSION$") +
        Write("silent=$SILENT$") +
        // A line inserted first, and a file read back line by line: after its
        // end the next read starts again at the first line.
        Statement("Write to Text File", {"$TEMPDIR$result.txt", "first", "TRUE"}) +
        Statement("Write to Text File", {"$TEMPDIR$data.txt", "one", ""}) +
        Statement("Write to Text File", {"$TEMPDIR$data.txt", "two", ""}) +
        Statement("Read from Text File", {"$TEMPDIR$data.txt", "LINE1", "END1"}) +
        Statement("Read from Text File", {"$TEMPDIR$data.txt", "LINE2", "END2"}) +
        Statement("Read from Text File", {"$TEMPDIR$data.txt", "LINE3", "END3"}) +
        Write("read=$LINE1$,$END1$,$LINE2$,$END2$,$LINE3$,$END3$") +
        Statement("Read from Text File", {"#READALL\\$TEMPDIR$data.txt", "ALL", "ENDALL"}) +
        Write("all=$ALL$,$ENDALL$") +
        Statement("Read from Text File", {"#READALL\\$TEMPDIR$data.txt", "ALL", "ENDALL"}) +
        Write("again=$ALL$,$ENDALL$") +
        Statement("Read from Text File", {"$TEMPDIR$missing.txt", "NOLINE", "ENDMISSING"}) +
        Write("missing=$ENDMISSING$") +
        Statement("Does File/Folder Exist", {"ISFILE", "$TEMPDIR$data.txt", "TRUE"}) +
        Statement("Does File/Folder Exist", {"ISFOLDER", "$TEMPDIR$data.txt", "FALSE"}) +
        Write("exists=$ISFILE$,$ISFOLDER$") + Statement("Check Disk Space", {"NODRIVE", "Q:\\", "TRUE"}) +
        Statement("Check Disk Space", {"$TOTAL$", "$TEMPDIR$", "FALSE"}) +
        Statement("If", {"TOTAL", "2", "0", "FALSE"}) + Write("space=$NODRIVE$,counted") + "End\n";
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"first", "branch=middle", "title=Script Test", "version=1.2.3",
                                       "silent=TRUE", "read=one,FALSE,two,TRUE,one,FALSE",
                                       // The reader went on where it stood; the joined lines
                                       // become two lines again when written.
                                       "all=two,TRUE", "again=one", "two,TRUE", "missing=TRUE",
                                       "exists=TRUE,FALSE", "space=0,counted"}));
}

TEST(ScriptRuns, GoToLoopCountsAndIfChains) {
    Scratch scratch;
    const std::string script = Statement("Set Variable", {"I", "0"}) + Statement("Label", {"again"}) +
                               Statement("Mathematics", {"$I$", "1", "0", "I"}) +
                               Statement("If", {"I", "1", "3", "FALSE"}) + Write("three") + "End\n" +
                               Write("i=$I$") + Statement("If", {"I", "2", "4", "TRUE"}) +
                               Statement("GoTo Label", {"again"}) + "End\n" + Write("done");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"i=1", "i=2", "three", "i=3", "i=4", "i=5", "done"}));
}

TEST(ScriptRuns, TerminateWithExitCodeEndsTheRunWithItsCode) {
    Scratch scratch;
    const std::string script =
        Write("before") + Statement("Terminate with Exit Code", {"$CODE$"}) + Write("after");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s", "CODE=1603"});
    EXPECT_EQ(run.run.exitCode, 1603) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"before"}));
    ASSERT_FALSE(run.trace.empty());
    EXPECT_EQ(run.trace.back(), "</Kaviro>");
}

TEST(ScriptRuns, OverridesWinInSilentRuns) {
    Scratch scratch;
    // The script sets PROGRESS and MODE, both given on the command line.
    const std::string script = Statement("Set Variable", {"PROGRESS", "50"}) +
                               Statement("Set Variable", {"MODE", "script"}) + Write("progress=$PROGRESS$") +
                               Write("mode=$MODE$") + Write("target=$TARGETDIR$");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script),
                                   {"/s", "PROGRESS=5", "mode=command", "TARGETDIR=D:\\App"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"progress=5", "mode=command", "target=D:\\App"}));
}

TEST(ScriptRuns, BrokenScriptEndsWith314AndTracesNothingAfterValidation) {
    Scratch scratch;
    // A GoTo to a label that does not exist fails validation.
    const std::string script = Write("ran") + Statement("GoTo Label", {"nowhere"});
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    EXPECT_EQ(run.run.exitCode, 314) << run.run.output;
    ASSERT_FALSE(run.trace.empty());
    EXPECT_EQ(run.trace.back(), "    <CompileScript>");
    EXPECT_TRUE(ResultLines(run).empty());
}

}  // namespace
}  // namespace kaviro::e2e
