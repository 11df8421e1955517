// Silent start-up runs: exit codes, the trace, the command-line rules and
// the support folder, as a deployment tool sees them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/startup/setup_factory.h"
#include "tests/e2e/startup/startup_run.h"

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    RunResult run;
    std::vector<std::string> trace;
    std::vector<std::string> supportFolders;
    std::vector<std::string> tempFiles;
};

Outcome RunSilently(const Scratch& scratch, const SetupSpec& spec,
                    std::vector<std::string> extraArguments = {}) {
    const std::string executable = MakeSetup(scratch.Path() + "/setup", spec);
    std::vector<std::string> arguments = {"/s", "/l=" + ToWindowsPath(scratch.Path() + "/trace.txt")};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    Outcome outcome;
    outcome.run = RunUnderWine(SetupRequest(executable, scratch, arguments));
    if (FileExists(scratch.Path() + "/trace.txt"))
        outcome.trace = ReadUtf16Lines(scratch.Path() + "/trace.txt");
    outcome.supportFolders = SupportFolders(scratch.Temp());
    outcome.tempFiles = FileNames(scratch.Temp());
    return outcome;
}

TEST(StartupSilent, FullRunTracesEveryStageAndLeavesNothingBehind) {
    Scratch scratch;
    SetupSpec spec;
    spec.dialogs = {"welcome", "licence"};
    spec.disabledDialogs = {"missing"};  // disabled: never preloaded, so its missing file does not matter
    const Outcome outcome = RunSilently(scratch, spec);
    ASSERT_TRUE(outcome.run.launched) << outcome.run.output;
    EXPECT_EQ(outcome.run.exitCode, 0);
    EXPECT_EQ(outcome.trace, FullTrace());
    EXPECT_TRUE(outcome.supportFolders.empty());
    EXPECT_TRUE(outcome.tempFiles.empty()) << "oru.tmp and lang.loc must be gone";
}

TEST(StartupSilent, ExitCodesOfMissingAndDamagedParts) {
    const std::string validPackage = PackageText({});
    const struct {
        const char* what;
        SetupSpec spec;
        int exitCode;
        std::vector<std::string> trace;
        bool supportFolderStays;
    } cases[] = {
        {"no package",
         [] {
             SetupSpec s;
             s.appendPackage = false;
             return s;
         }(),
         13, TraceUpTo("    <StubSize>"), false},
        {"no resource",
         [] {
             SetupSpec s;
             s.resource = false;
             return s;
         }(),
         14, TraceUpTo("    <ExtractArchive>"), true},
        {"damaged resource",
         [] {
             SetupSpec s;
             s.resourceBytes = "7z\xBC\xAF\x27\x1C not really";
             return s;
         }(),
         15, TraceUpTo("    <ExtractArchive>"), true},
        {"no database",
         [] {
             SetupSpec s;
             s.database = SetupSpec::Database::None;
             return s;
         }(),
         16, TraceUpTo("    <ExtractResource>"), true},
        {"patch instead of database",
         [] {
             SetupSpec s;
             s.database = SetupSpec::Database::Msp;
             return s;
         }(),
         0, FullTrace(), false},
        {"truncated package",
         [&] {
             SetupSpec s;
             s.packageText = validPackage.substr(0, validPackage.size() / 2);
             return s;
         }(),
         11, TraceOfRuntimeErrorAfter("    <GlobalLists>"), false},
        {"damaged dialog file",
         [] {
             SetupSpec s;
             s.dialogs = {"welcome"};
             s.supportFiles["welcome.dfm"] = "\xFF\x0A garbage";
             return s;
         }(),
         11, TraceOfRuntimeErrorAfter("    <Dialogs>"), false},
        {"missing rules file",
         [] {
             SetupSpec s;
             s.dialogs = {"welcome"};
             s.omittedSupportFiles = {"welcome.dfm.oruf"};
             return s;
         }(),
         11, TraceOfRuntimeErrorAfter("    <Dialogs>"), false},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        Scratch scratch;
        const Outcome outcome = RunSilently(scratch, entry.spec);
        ASSERT_TRUE(outcome.run.launched) << outcome.run.output;
        EXPECT_EQ(outcome.run.exitCode, entry.exitCode);
        EXPECT_EQ(outcome.trace, entry.trace);
        EXPECT_EQ(outcome.supportFolders,
                  entry.supportFolderStays ? std::vector<std::string>{"oru1"} : std::vector<std::string>{});
        EXPECT_TRUE(outcome.tempFiles.empty()) << "oru.tmp and lang.loc must be gone";
    }
}

TEST(StartupSilent, ArchiveLibraryThatCannotBeLoadedEndsWithRuntimeError) {
    // The library is loaded before the command line opens the trace, so
    // these runs leave no trace file at all.
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "damaged oru.lib" : "no oru.lib");
        Scratch scratch;
        SetupSpec spec;
        spec.archiveLibrary = present;
        spec.archiveLibraryBytes = "MZ this is not a library";
        const Outcome outcome = RunSilently(scratch, spec);
        ASSERT_TRUE(outcome.run.launched) << outcome.run.output;
        EXPECT_EQ(outcome.run.exitCode, 11);
        EXPECT_TRUE(outcome.trace.empty());
        EXPECT_TRUE(outcome.supportFolders.empty());
    }
}

TEST(StartupSilent, SupportFolderTakesTheFirstFreeNumberAndIsRemoved) {
    Scratch scratch;
    fs::create_directories(scratch.Temp() + "/oru1");
    fs::create_directories(scratch.Temp() + "/oru2");
    SetupSpec spec;
    spec.dialogs = {"welcome"};
    const Outcome finished = RunSilently(scratch, spec);
    EXPECT_EQ(finished.run.exitCode, 0);
    EXPECT_EQ(finished.supportFolders, (std::vector<std::string>{"oru1", "oru2"}));

    // Exit code 16 leaves the folder in place: it shows which number was
    // taken and what was extracted into it.
    spec.database = SetupSpec::Database::None;
    const Outcome stopped = RunSilently(scratch, spec);
    EXPECT_EQ(stopped.run.exitCode, 16);
    EXPECT_EQ(stopped.supportFolders, (std::vector<std::string>{"oru1", "oru2", "oru3"}));
    EXPECT_EQ(FileNames(scratch.Temp() + "/oru3"),
              (std::vector<std::string>{"welcome.dfm", "welcome.dfm.oruf"}));
}

TEST(StartupSilent, CommandLineRules) {
    Scratch scratch;
    const std::string executable = MakeSetup(scratch.Path() + "/setup", {});
    const std::string folder = ToWindowsPath(scratch.Path());
    // The trace path is lower-cased and the first /l= wins; /S and -QN make
    // the run silent (a windowed run would wait for its message box).
    const struct {
        std::vector<std::string> arguments;
        const char* traceFile;
    } cases[] = {
        {{"/S", "/L=" + folder + "\\Trace.TXT", "/l=" + folder + "\\second.txt"}, "trace.txt"},
        {{"-QN", "-L=" + folder + "\\Dash.Log"}, "dash.log"},
        {{"/qn", "TARGETDIR=D:\\App", "/TARGETDIR=x", "/l=" + folder + "\\with-overrides.txt"},
         "with-overrides.txt"},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.traceFile);
        const RunResult run = RunUnderWine(SetupRequest(executable, scratch, entry.arguments));
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(ReadUtf16Lines(scratch.Path() + "/" + entry.traceFile), FullTrace());
    }
    EXPECT_FALSE(FileExists(scratch.Path() + "/Trace.TXT"));
    EXPECT_FALSE(FileExists(scratch.Path() + "/second.txt"));
    EXPECT_FALSE(FileExists(scratch.Path() + "/Dash.Log"));
}

TEST(StartupSilent, TraceIsEmptiedByTheFirstWrite) {
    Scratch scratch;
    WriteFileBytes(scratch.Path() + "/trace.txt", std::string("o\0l\0d\0\r\0\n\0", 10));
    const Outcome outcome = RunSilently(scratch, {});
    EXPECT_EQ(outcome.trace, FullTrace());
    const std::string bytes = ReadFileBytes(scratch.Path() + "/trace.txt");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("<\0", 2)) << "no byte-order mark";
}

}  // namespace
}  // namespace kaviro::e2e

namespace kaviro::e2e {
namespace {

TEST(StartupSilent, SampleSetupFromTheBuilderStartsAndEndsCleanly) {
    Scratch scratch;
    const std::string out = scratch.Path() + "/sample";
    const std::string command =
        "'" + HostDistDir() + "/kaviro-build' '" + SourceDir() + "/sample' --out '" + out + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::string executable;
    for (const std::string& name : FileNames(out)) {
        if (name.size() > 4 && name.substr(name.size() - 4) == ".exe") executable = out + "/" + name;
    }
    ASSERT_FALSE(executable.empty());
    const RunResult run = RunUnderWine(
        SetupRequest(executable, scratch, {"/s", "/l=" + ToWindowsPath(scratch.Path() + "/trace.txt")}));
    ASSERT_TRUE(run.launched) << run.output;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadUtf16Lines(scratch.Path() + "/trace.txt"), FullTrace());
    EXPECT_TRUE(SupportFolders(scratch.Temp()).empty());
}

}  // namespace
}  // namespace kaviro::e2e
