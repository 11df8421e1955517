// Ends of a run: the release and the removable-media check.
#include <gtest/gtest.h>

#include "engine/package_lookup.h"
#include "script/header_commands.h"
#include "script/run_end.h"
#include "tests/unit/run/run_fakes.h"
#include "tests/unit/script/script_builder.h"

namespace kaviro::script {
namespace {

using testing::LifecycleRun;
using testing::ScriptBuilder;

TEST(RunEnds, RemovedSetupMediaIsReportedForEveryNormalEnd) {
    struct Case {
        const char* what;
        Script script;
        bool mediaRemoved;
        RunEnd end;
        bool reported;
    };
    const Case cases[] = {
        {"normal end, media gone", ScriptBuilder().Set("A", "1").Build(), true, RunEnd::Finished, true},
        {"normal end, media there", ScriptBuilder().Set("A", "1").Build(), false, RunEnd::Finished, false},
        {"Terminate Install", ScriptBuilder().Add("Terminate Install").Build(), true, RunEnd::Terminated, true},
        {"Terminate with Exit Code", ScriptBuilder().Add("Terminate with Exit Code", {"3"}).Build(), true,
         RunEnd::Terminated, true},
        {"fatal error: no check", ScriptBuilder().Set("A", "1").Add("Extract Path", {"A", "x"}).Build(), true, RunEnd::Fatal, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LifecycleRun run;
        run.lifecycle.mediaRemoved = c.mediaRemoved;
        run.Start(c.script);
        EXPECT_EQ(run.result.end, c.end);
        EXPECT_EQ(run.result.setupMediaRemoved, c.reported);
        if (c.end != RunEnd::Fatal) {
            // The check comes after the release, whose markers close the script's trace.
            ASSERT_GE(run.trace.lines.size(), 2u);
            EXPECT_EQ(run.trace.lines.back(), "    </ExitScript>");
            EXPECT_EQ(run.lifecycle.calls.back(), "media E:\\Setup\\");
        }
    }
}

TEST(RunEnds, ReleaseClosesWhatCommandsKeepOpen) {
    for (const bool fatal : {false, true}) {
        LifecycleRun run;
        int released = 0;
        int releasedBeforeLastStatement = -1;
        run.commands.AddReleaseAction([&] { ++released; });
        run.commands.Register("Probe", [&](RunContext&, std::size_t) { releasedBeforeLastStatement = released; });
        ScriptBuilder builder;
        builder.Add("Probe");
        if (fatal) builder.Set("A", "1").Add("Extract Path", {"A", "x"});
        run.Start(builder.Build());
        EXPECT_EQ(releasedBeforeLastStatement, 0);
        EXPECT_EQ(released, 1) << (fatal ? "fatal" : "normal");
    }
}

TEST(RunEnds, FatalReportPutsTheTaskbarIntoItsErrorStateFirst) {
    LifecycleRun run;
    run.Start(ScriptBuilder().Set("A", "1").Add("Extract Path", {"A", "x"}).Build());
    ASSERT_EQ(run.events.size(), 2u);
    EXPECT_EQ(run.events[0], "enter error");
    EXPECT_EQ(run.events[1].rfind("fatal box Runtime error in setup script:\r\rSource File: Sample\rLine Number: 12\r\r", 0),
              0u)
        << run.events[1];

    LifecycleRun silent;
    silent.environment.run.silent = true;
    silent.Start(ScriptBuilder().Set("A", "1").Add("Extract Path", {"A", "x"}).Build());
    EXPECT_EQ(silent.result.end, RunEnd::Fatal);
    EXPECT_TRUE(silent.events.empty()) << "no box and no taskbar change in a silent run";
}

TEST(RunEnds, StrictHeaderLookupFailureIsFatal) {
    // A header command of a package built without command headers.
    LifecycleRun run;
    run.commands.Register("Create Folder", [](RunContext& context, std::size_t index) {
        (void)BeginHeaderCommand(context, index);
    });
    run.Start(ScriptBuilder().Set("LOG", "a").Add("Create Folder", {"C:\\A"}).Set("LOG", "b").Build());
    EXPECT_EQ(run.result.end, RunEnd::Fatal);
    EXPECT_EQ(run.store.Get("LOG"), "a");
    ASSERT_EQ(run.events.size(), 2u);
    const std::string expected = "fatal box Runtime error in setup script:\r\rSource File: Sample\rLine Number: 12\r\r" +
                                 std::string(kHeaderErrorText);
    EXPECT_EQ(run.events[1], expected);
}

TEST(DriveRoot, OfDrivePathsAndShares) {
    struct Case {
        const char* folder;
        const char* root;
    };
    const Case cases[] = {
        {"E:\\Setup\\", "E:\\"},   {"e:", "e:\\"},
        {"\\\\server\\share\\setup\\", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server\\", ""},       {"\\\\\\share", ""},
        {"setup\\", ""},            {"", ""},
        {"1:\\", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(DriveRootOf(c.folder), c.root) << c.folder;
}

}  // namespace
}  // namespace kaviro::script
