// "Find All Files" in a run with a user interface: the interpreter waits for
// the search worker in the window message loop, woken by the worker's empty
// message and the wait's timer.

#include <gtest/gtest.h>

#include "tests/e2e/commands/file_script.h"

namespace kaviro::e2e {
namespace {

TEST(FileCommandsWindowed, TheMessageLoopWaitEndsWithTheWorkerAndAfterACancel) {
    Scratch scratch;
    MakeSearchTree(scratch);
    // The second search is cancelled; ABORTEDONERROR is already TRUE, so no
    // box waits for a click and the run goes on.
    const std::string script =
        Write("temp=$TEMPDIR$") + Statement("Find All Files", {"$TEMPDIR$tree\\*.txt", "TRUE", "TRUE", "ALL"}) +
        Write("all=$ALL$") + Statement("Set Variable", {"ABORTONERROR", "FALSE"}) +
        Statement("Set Variable", {"ABORTEDONERROR", "TRUE"}) + Statement("Set Variable", {"ABORT", "TRUE"}) +
        Statement("Find All Files", {"$TEMPDIR$tree\\*.txt", "TRUE", "TRUE", "AGAIN"}) + Write("after=$ABORTEDONERROR$");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {});
    ASSERT_FALSE(run.run.timedOut) << run.run.output;
    ASSERT_EQ(run.run.exitCode, 0) << run.run.output;
    const Lines lines = ResultLines(run);
    const Lines full = FullSearchListing(ResultValue(lines, "temp"));
    EXPECT_EQ(ResultValue(lines, "all"), JoinBars(full, full.size()));
    EXPECT_EQ(ResultValue(lines, "after"), "TRUE");
}

}  // namespace
}  // namespace kaviro::e2e
