// The run start: single-instance guard, patch-mode data, resume entry and
// header sweep, in their place between the bootstrap and the first statement.
#include <gtest/gtest.h>

#include <algorithm>

#include "script/header_commands.h"
#include "script/run_start.h"
#include "tests/unit/run/run_fakes.h"
#include "tests/unit/script/script_builder.h"

namespace kaviro::script {
namespace {

using testing::FakeLifecycle;
using testing::LifecycleRun;
using testing::ScriptBuilder;

constexpr const char* kRevision = "{9A1B2C3D-0000-4000-8000-00000000AB12}";
constexpr const char* kMarker = "C:\\Temp\\{9A1B2C3D-0000-4000-8000-00000000AB12}.oru";

Script WithIdentity(Script script, TextList buildSettings) {
    script.productCode = "{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}";
    script.revisionCode = kRevision;
    script.buildSettings = std::move(buildSettings);
    return script;
}

// Statements that record into LOG whether the marker exists while they run.
Script MarkerProbeScript(TextList buildSettings) {
    return WithIdentity(ScriptBuilder().Set("LOG", "ran").Add("Probe").Build(), std::move(buildSettings));
}

TEST(SingleInstance, GuardFollowsTheBuildSetting) {
    struct Case {
        const char* what;
        TextList settings;
        bool guarded;
    };
    const Case cases[] = {
        {"TRUE", {"SINGLEINSTANCE", "TRUE"}, true},
        {"through another setting", {"SINGLEINSTANCE", "#ALWAYS#", "always", "TRUE"}, true},
        {"key case ignored", {"singleinstance", "TRUE"}, true},
        {"FALSE", {"SINGLEINSTANCE", "FALSE"}, false},
        {"only TRUE in capitals counts", {"SINGLEINSTANCE", "true"}, false},
        {"no setting", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LifecycleRun run;
        bool markerWhileRunning = false;
        run.commands.Register("Probe", [&](RunContext&, std::size_t) {
            markerWhileRunning = run.lifecycle.files.count(kMarker) != 0;
        });
        run.Start(MarkerProbeScript(c.settings));
        EXPECT_EQ(run.result.end, RunEnd::Finished);
        EXPECT_EQ(run.store.Get("LOG"), "ran");
        EXPECT_EQ(markerWhileRunning, c.guarded);
        EXPECT_TRUE(run.lifecycle.files.empty()) << "the marker is deleted at the end";
        const bool created = std::count(run.lifecycle.calls.begin(), run.lifecycle.calls.end(),
                                        std::string("create ") + kMarker) == 1;
        EXPECT_EQ(created, c.guarded);
    }
}

TEST(SingleInstance, SecondCopyQuitsSilentlyAndLeavesTheMarker) {
    LifecycleRun run;
    run.lifecycle.files.insert(kMarker);
    run.Start(MarkerProbeScript({"SINGLEINSTANCE", "TRUE"}));
    EXPECT_EQ(run.result.end, RunEnd::SecondInstance);
    EXPECT_EQ(run.result.exitCode, 0);
    EXPECT_EQ(run.store.Get("LOG"), "") << "no statement runs";
    EXPECT_EQ(run.lifecycle.files.count(kMarker), 1u) << "the marker belongs to the copy that runs";
    EXPECT_TRUE(run.events.empty()) << "no box";
    ASSERT_FALSE(run.trace.lines.empty());
    EXPECT_EQ(run.trace.lines.back(), "    </BootStrap>");
    for (const std::string& call : run.lifecycle.calls) EXPECT_NE(call.rfind("resume", 0), 0u) << call;
}

TEST(SingleInstance, MarkerIsDeletedAfterFatalErrorsAndTerminate) {
    struct Case {
        Script ending;
        RunEnd end;
        bool mediaChecked;  // only the normal ends look at the setup media
    };
    const Case cases[] = {
        {ScriptBuilder().Set("A", "1").Add("Extract Path", {"A", "two"}).Build(), RunEnd::Fatal, false},
        {ScriptBuilder().Add("Terminate with Exit Code", {"7"}).Set("LOG", "after").Build(), RunEnd::Terminated, true},
    };
    for (const Case& c : cases) {
        LifecycleRun run;
        run.Start(WithIdentity(c.ending, {"SINGLEINSTANCE", "TRUE"}));
        EXPECT_EQ(run.result.end, c.end);
        EXPECT_TRUE(run.lifecycle.files.empty());
        const auto& calls = run.lifecycle.calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("delete ") + kMarker), 1);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("media E:\\Setup\\")), c.mediaChecked ? 1 : 0);
    }
}

TEST(SingleInstance, MarkerThatCannotBeMadeLeavesTheRunUnguarded) {
    LifecycleRun run;
    run.lifecycle.refuseCreate = true;
    run.Start(WithIdentity(ScriptBuilder().Set("LOG", "ran").Build(), {"SINGLEINSTANCE", "TRUE"}));
    EXPECT_EQ(run.store.Get("LOG"), "ran");
    for (const std::string& call : run.lifecycle.calls) EXPECT_NE(call.rfind("delete", 0), 0u) << "nothing of ours to delete";
}

TEST(ResumeEntry, NamedByTheEightCharactersAfterTheBrace) {
    struct Case {
        const char* productCode;
        const char* name;
    };
    const Case cases[] = {
        {"{3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}", "3B8F2C71"},
        {"{abcdef12}", "abcdef12"},
        {"{1234567", ""},
        {"3B8F2C71-5D4E", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ResumeEntryName(c.productCode), c.name) << c.productCode;
}

TEST(ResumeEntry, RemovedOnceAfterTheGuardAndBeforeTheFirstStatement) {
    LifecycleRun run;
    run.commands.Register("Probe", [&](RunContext&, std::size_t) { run.lifecycle.calls.push_back("statement"); });
    run.Start(WithIdentity(ScriptBuilder().Add("Probe").Build(), {"SINGLEINSTANCE", "TRUE"}));
    const std::vector<std::string> expected = {"exists " + std::string(kMarker), "create " + std::string(kMarker),
                                               "resume 3B8F2C71", "statement", "delete " + std::string(kMarker),
                                               "media E:\\Setup\\"};
    EXPECT_EQ(run.lifecycle.calls, expected);

    // A product code without the brace part removes nothing (an empty name
    // would be the RunOnce key's default value).
    LifecycleRun odd;
    Script script = ScriptBuilder().Build();
    script.productCode = "no code";
    odd.Start(script);
    for (const std::string& call : odd.lifecycle.calls) EXPECT_NE(call.rfind("resume", 0), 0u) << call;
}

TEST(HeaderSweep, EveryHeaderStartsFalseBeforeOverridesAndStatements) {
    LifecycleRun run;
    TextList seen;
    run.commands.Register("Probe", [&](RunContext& context, std::size_t) { seen = context.propertyList; });
    Script script = ScriptBuilder().Add("Probe").Add("Create Folder", {"C:\\A"}).Add("Create Folder", {"C:\\B"}).Build();
    script.commandHeaders = {"0A0B0C0D", "2", "01020304", "1"};
    run.Start(script);
    EXPECT_EQ(seen, (TextList{"A01020304", "FALSE", "A0A0B0C0D", "FALSE"}));
    EXPECT_EQ(InstallerPropertyQueue().Names(), (TextList{"A01020304", "A0A0B0C0D"}));

    // A second run in the same process starts from an empty queue.
    LifecycleRun again;
    again.Start(ScriptBuilder().Build());
    EXPECT_TRUE(InstallerPropertyQueue().Empty());
}

TEST(PatchMode, InstalledDataIsLoadedAfterTheInitializationVariables) {
    struct Loader : PatchDataLoader {
        void LoadInstalledProductData(RunContext& context) override {
            ++calls;
            tempDir = context.variables().Get("TEMPDIR");
            context.variables().DefineVariable("INSTALLEDVALUE", "from the cache", "LoadComponents");
        }
        int calls = 0;
        std::string tempDir;
    };
    for (bool patchMode : {false, true}) {
        Loader loader;
        LifecycleRun run;
        run.environment.patch = &loader;
        run.environment.run.patchMode = patchMode;
        run.Start(ScriptBuilder().Set("LOG", "$INSTALLEDVALUE$").Build());
        EXPECT_EQ(loader.calls, patchMode ? 1 : 0);
        if (patchMode) {
            EXPECT_EQ(loader.tempDir, "C:\\Temp\\");
            EXPECT_EQ(run.store.Get("LOG"), "from the cache");
        }
    }
}

TEST(Initialization, UserNameAndCompanyComeFromTheFacts) {
    LifecycleRun run;
    run.environment.run.facts.userName = "Ada Lovelace";
    run.environment.run.facts.userCompany = "Analytical Engines";
    run.environment.run.overrides = {"USERCOMPANY", "Given"};
    run.Start(ScriptBuilder().Set("LOG", "$USERNAME$|$USERCOMPANY$").Build());
    EXPECT_EQ(run.store.Get("LOG"), "Ada Lovelace|Given");
}

}  // namespace
}  // namespace kaviro::script
