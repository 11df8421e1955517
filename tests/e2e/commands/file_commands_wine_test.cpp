// The file and folder commands under Wine: setups built by kaviro-build run
// silently on real files that the tests lay out in the run's TEMP folder.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "tests/e2e/commands/file_script.h"

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;

bool Traced(const ScriptRun& run, const std::string& line) {
    return std::find(run.trace.begin(), run.trace.end(), line) != run.trace.end();
}

TEST(FileCommandsUnderWine, FindAllFilesListsTheTreeAndDeleteFilesRecursiveEmptiesOne) {
    Scratch scratch;
    MakeSearchTree(scratch);
    MakeFile(scratch, "doomed/read only.txt");
    MakeFile(scratch, "doomed/inner/f.txt");
    fs::create_directories(fs::path(scratch.Temp()) / "doomed/inner/more/empty");
    ASSERT_EQ(chmod((scratch.Temp() + "/doomed/read only.txt").c_str(), 0444), 0);
    const std::string script =
        Write("temp=$TEMPDIR$") +
        Statement("Find All Files", {"$TEMPDIR$tree\\*.txt", "TRUE", "TRUE", "ALL"}) + Write("all=$ALL$") +
        Statement("Find All Files", {"$TEMPDIR$\\tree\\*.txt", "FALSE", "FALSE", "$TOP$"}) + Write("top=$TOP$") +
        Statement("Find All Files", {"$TEMPDIR$tree\\*.none", "TRUE", "FALSE", "NONE"}) + Write("none=[$NONE$]") +
        Statement("Delete Files Recursive", {"$TEMPDIR$doomed\\*.*"}) + Write("deleted");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    ASSERT_EQ(run.run.exitCode, 0) << run.run.output;
    const Lines lines = ResultLines(run);
    const std::string t = ResultValue(lines, "temp");
    const Lines full = FullSearchListing(t);
    EXPECT_EQ(ResultValue(lines, "all"), JoinBars(full, full.size()));
    EXPECT_EQ(ResultValue(lines, "top"), "\"" + t + "tree\\a b.txt\"");
    EXPECT_EQ(ResultValue(lines, "none"), "[]");
    EXPECT_EQ(lines.back(), "deleted");
    // Everything below the pattern's folder is gone, the read-only file too;
    // the folder itself stays.
    ASSERT_TRUE(fs::is_directory(scratch.Temp() + "/doomed"));
    EXPECT_TRUE(fs::is_empty(scratch.Temp() + "/doomed"));
    EXPECT_TRUE(fs::exists(scratch.Temp() + "/tree/sub/deep/d.txt"));
}

TEST(FileCommandsUnderWine, ConvertPathAndGetTemporaryFileAskTheFileSystem) {
    Scratch scratch;
    MakeFile(scratch, "Long Folder Name/Inner File Name.txt");
    const std::string script =
        Write("temp=$TEMPDIR$") + Statement("Set Variable", {"P", "$TEMPDIR$long folder name\\\\INNER file name.TXT"}) +
        Statement("Convert Path", {"P", "FALSE"}) + Write("long=$P$") + Statement("Set Variable", {"S", "$P$"}) +
        Statement("Convert Path", {"$S$", "TRUE"}) + Write("short=$S$") + Statement("Set Variable", {"L", "$S$"}) +
        Statement("Convert Path", {"L", "FALSE"}) + Write("back=$L$") +
        Statement("Set Variable", {"M", "$TEMPDIR$missing folder\\x.txt\\"}) + Statement("Convert Path", {"M", "FALSE"}) +
        Write("missing=$M$") + Statement("Get Temporary File", {"$tmp1$"}) + Statement("Get Temporary File", {"TMP2"}) +
        Write("tmp1=$TMP1$") + Write("tmp2=$TMP2$");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    ASSERT_EQ(run.run.exitCode, 0) << run.run.output;
    const Lines lines = ResultLines(run);
    const std::string t = ResultValue(lines, "temp");
    const std::string longForm = t + "Long Folder Name\\Inner File Name.txt";
    EXPECT_EQ(ResultValue(lines, "long"), longForm);
    const std::string shortForm = ResultValue(lines, "short");
    EXPECT_EQ(shortForm.find(' '), std::string::npos) << shortForm;
    EXPECT_NE(shortForm, longForm);
    EXPECT_EQ(ResultValue(lines, "back"), longForm);
    EXPECT_EQ(ResultValue(lines, "missing"), t + "missing folder\\x.txt");
    const std::string first = ResultValue(lines, "tmp1");
    const std::string second = ResultValue(lines, "tmp2");
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        ASSERT_EQ(path.rfind(t + "oru", 0), 0u) << path;
        const std::string linux = scratch.Temp() + "/" + path.substr(t.size());
        ASSERT_TRUE(fs::is_regular_file(linux)) << linux;
        EXPECT_EQ(fs::file_size(linux), 0u);
    }
}

TEST(FileCommandsUnderWine, ACancelledSearchShowsSetupCancelledThenContinuesOrEndsTheRun) {
    for (const bool abortOnError : {false, true}) {
        Scratch scratch;
        MakeSearchTree(scratch);
        const std::string script =
            Write("temp=$TEMPDIR$") + Statement("Set Variable", {"ABORTONERROR", abortOnError ? "TRUE" : "FALSE"}) +
            Statement("Set Variable", {"ABORT", "TRUE"}) +
            Statement("Find All Files", {"$TEMPDIR$tree\\*.txt", "TRUE", "TRUE", "FOUND"}) +
            Write("found=$FOUND$") + Write("aborted=$ABORTEDONERROR$");
        const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
        SCOPED_TRACE(abortOnError ? "ABORTONERROR TRUE" : "ABORTONERROR FALSE");
        ASSERT_EQ(run.run.exitCode, 0) << run.run.output;
        EXPECT_TRUE(Traced(run, "Setup cancelled"));
        ASSERT_FALSE(run.trace.empty());
        EXPECT_EQ(run.trace.back(), "</Kaviro>");
        const Lines lines = ResultLines(run);
        if (abortOnError) {
            EXPECT_EQ(lines.size(), 1u) << "the run ends after the search";
            continue;
        }
        EXPECT_EQ(ResultValue(lines, "aborted"), "TRUE");
        // The stop request reaches the worker at some point of the listing:
        // what it found so far is a leading part of the whole listing.
        const Lines full = FullSearchListing(ResultValue(lines, "temp"));
        const std::string found = ResultValue(lines, "found");
        bool leading = false;
        for (std::size_t count = 0; count <= full.size(); ++count) leading = leading || found == JoinBars(full, count);
        EXPECT_TRUE(leading) << found;
    }
}

TEST(FileCommandsUnderWine, HeaderCommandsLeaveTheWorkToTheInstaller) {
    // They only hand their paths over as installer properties (observable
    // once "Apply Changes" writes them into the package); the engine itself
    // creates, copies and deletes nothing.
    Scratch scratch;
    MakeSearchTree(scratch);
    const std::string script =
        Statement("Create Folder", {"$TEMPDIR$made"}) +
        Statement("Copy/Move Local Files", {"$TEMPDIR$tree\\*.txt", "", "$TEMPDIR$copy"}) +
        Statement("Delete Files", {"$TEMPDIR$tree\\a b.txt", "", "TRUE", "FALSE"}) + Write("ran");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    ASSERT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"ran"})) << "the strict header lookup found every header";
    EXPECT_FALSE(fs::exists(scratch.Temp() + "/made"));
    EXPECT_FALSE(fs::exists(scratch.Temp() + "/copy"));
    EXPECT_TRUE(fs::exists(scratch.Temp() + "/tree/a b.txt"));
}

}  // namespace
}  // namespace kaviro::e2e
