// Silent runs under Wine: what the run start and end do to the machine.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/run/run_script_text.h"
#include "tests/e2e/script/script_project.h"

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRunOnce[] = {"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                                    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"};
// The first eight hex digits of the test projects' product code.
constexpr const char* kResumeValue = "3B8F2C71";

Lines ResultLines(const ScriptRun& run) {
    return ReadTextLines(run.tempFolder + "/result.txt");
}

// The trace of a run that returned before its first statement.
Lines TraceOfRunNotStarted() {
    return {"    <BootStrap>",    "    </BootStrap>",    "  </RunScript>", "  <Free>",
            "  </Free>",          "  <CachedSupportDir>", "  </CachedSupportDir>", "</Kaviro>"};
}

Lines TraceTail(const Lines& trace, std::size_t count) {
    return Lines(trace.end() - static_cast<std::ptrdiff_t>(std::min(count, trace.size())), trace.end());
}

TEST(RunStart, ResumeEntryOfThisProductIsRemovedOthersStay) {
    Scratch scratch;
    const std::string setup = BuildScriptSetup(scratch, WriteResult("ran"));
    for (const char* key : kRunOnce) {
        SetRegistryValue(key, kResumeValue, "c:\\setup\\ScriptSetup.exe /s");
        SetRegistryValue(key, "KaviroTestOther", "c:\\other.exe");
        ASSERT_TRUE(RegistryValueExists(key, kResumeValue)) << key;
    }
    const ScriptRun run = RunSetup(scratch, setup, {"/s"});
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"ran"}));
    for (const char* key : kRunOnce) {
        EXPECT_FALSE(RegistryValueExists(key, kResumeValue)) << key;
        EXPECT_TRUE(RegistryValueExists(key, "KaviroTestOther")) << key;
        DeleteRegistryValue(key, "KaviroTestOther");
    }
}

TEST(RunStart, UserNameAndCompanyAreTheRegisteredOwnerAndOrganization) {
    const std::string key = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
    struct Saved {
        const char* name;
        bool found = false;
        std::string data;
    } saved[] = {{"RegisteredOwner", false, ""}, {"RegisteredOrganization", false, ""}};
    for (Saved& value : saved) value.data = RegistryText(key, value.name, &value.found);
    SetRegistryValue(key, "RegisteredOwner", "Ada Lovelace");
    SetRegistryValue(key, "RegisteredOrganization", "Analytical Engines Ltd");

    Scratch scratch;
    const ScriptRun run =
        RunSetup(scratch, BuildScriptSetup(scratch, WriteResult("$USERNAME$|$USERCOMPANY$")), {"/s"});
    for (const Saved& value : saved) {
        if (value.found)
            SetRegistryValue(key, value.name, value.data);
        else
            DeleteRegistryValue(key, value.name);
    }
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"Ada Lovelace|Analytical Engines Ltd"}));
}

TEST(RunStart, SecondCopyOfASingleInstanceBuildQuitsSilently) {
    Scratch scratch;
    const std::string script =
        WriteResult("$REVISIONCODE$") +
        Statement("Does File/Folder Exist", {"MARKER", "$TEMPDIR$$REVISIONCODE$.oru", "TRUE"}) +
        WriteResult("marker=$MARKER$");
    const std::string setup = BuildScriptSetup(scratch, script, "\n[build settings]\nSINGLEINSTANCE = TRUE\n");

    const ScriptRun first = RunSetup(scratch, setup, {"/s"});
    EXPECT_EQ(first.run.exitCode, 0) << first.run.output;
    const Lines written = ResultLines(first);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1], "marker=TRUE") << "the marker exists while the run goes on";
    const std::string marker = scratch.Temp() + "/" + written[0] + ".oru";
    EXPECT_FALSE(fs::exists(marker)) << "the marker goes with the end of the run";

    // A copy of the same build is running: the next start quits at once.
    fs::remove(scratch.Temp() + "/result.txt");
    WriteFileBytes(marker, "");
    const ScriptRun second = RunSetup(scratch, setup, {"/s"});
    EXPECT_EQ(second.run.exitCode, 0) << second.run.output;
    EXPECT_TRUE(ResultLines(second).empty()) << "no statement ran";
    EXPECT_TRUE(fs::exists(marker)) << "the marker belongs to the copy that runs";
    const Lines expected = TraceOfRunNotStarted();
    EXPECT_EQ(TraceTail(second.trace, expected.size()), expected);
}

TEST(RunEnd, FatalErrorInASilentRunShowsNothingAndKeepsTheExitCode) {
    Scratch scratch;
    const std::string script = Statement("Set Variable", {"PART", "two"}) + WriteResult("before") +
                               Statement("Extract Path", {"PART", "$PART$"}) + WriteResult("after");
    const ScriptRun run = RunSetup(scratch, BuildScriptSetup(scratch, script), {"/s"});
    // A box would hold the run until the launcher's timeout.
    EXPECT_FALSE(run.run.timedOut);
    EXPECT_EQ(run.run.exitCode, 0) << run.run.output;
    EXPECT_EQ(ResultLines(run), (Lines{"before"}));
    const Lines expected = {"    <velk>", "  </RunScript>", "  <Free>", "  </Free>",
                            "  <CachedSupportDir>", "  </CachedSupportDir>", "</Kaviro>"};
    EXPECT_EQ(TraceTail(run.trace, expected.size()), expected);
}

TEST(RunEnd, DownloadedMediaLeaveTheEngineCacheUnlessSourcesAreCached) {
    struct Case {
        const char* settings;
        bool mediaStay;
    };
    const Case cases[] = {
        {"media layout = 2\n[build settings]\nCACHESOURCES = FALSE\n", false},
        {"media layout = 2\n[build settings]\nCACHESOURCES = TRUE\n", true},
        {"media layout = 1\n[build settings]\nCACHESOURCES = FALSE\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        Scratch scratch;
        const std::string cacheRoot = scratch.Path() + "/cache";
        // The engine cache moves with OVERRIDECACHE given on the command line.
        const std::string setup =
            BuildScriptSetup(scratch, WriteResult("$REVISIONCODE$") + WriteResult("$ENGINECACHE$"), c.settings);
        const std::vector<std::string> arguments = {"/s", "OVERRIDECACHE=" + ToWindowsPath(cacheRoot)};
        const ScriptRun first = RunSetup(scratch, setup, arguments);
        const Lines written = ResultLines(first);
        ASSERT_EQ(written.size(), 2u) << first.run.output;
        EXPECT_EQ(written[1], ToWindowsPath(cacheRoot) + "\\" + written[0] + "\\");

        const std::string cache = cacheRoot + "/" + written[0];
        for (const char* folder : {"OFFLINE", "block1", "block2/part"}) fs::create_directories(cache + "/" + folder);
        WriteFileBytes(cache + "/block2/part/data.7zip", "payload");
        WriteFileBytes(cache + "/OFFLINE/data.7zip", "payload");
        fs::remove(scratch.Temp() + "/result.txt");
        const ScriptRun second = RunSetup(scratch, setup, arguments);
        EXPECT_EQ(second.run.exitCode, 0) << second.run.output;
        EXPECT_TRUE(fs::exists(cache + "/OFFLINE/data.7zip"));
        EXPECT_EQ(fs::exists(cache + "/block1"), c.mediaStay);
        EXPECT_EQ(fs::exists(cache + "/block2"), c.mediaStay);
    }
}

}  // namespace
}  // namespace kaviro::e2e
