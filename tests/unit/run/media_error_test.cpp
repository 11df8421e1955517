// The media error pattern: taskbar error state around the box (the trace in
// a silent run), then ABORTONERROR decides between ending and going on.
#include <gtest/gtest.h>

#include <algorithm>

#include "script/media_error.h"
#include "tests/unit/run/run_fakes.h"
#include "tests/unit/script/script_builder.h"

namespace kaviro::script {
namespace {

using testing::LifecycleRun;
using testing::ScriptBuilder;

constexpr const char* kError = "Unable to extract media block: disk1";

TEST(MediaError, BoxOrTraceThenEndOrPassOver) {
    struct Case {
        const char* what;
        bool silent;
        const char* abortOnError;
        bool ends;
    };
    const Case cases[] = {
        {"interactive, abort", false, "TRUE", true},
        {"interactive, go on", false, "FALSE", false},
        {"silent, abort", true, "TRUE", true},
        {"silent, go on", true, "FALSE", false},
        {"-1 reads as true", false, "-1", true},
        {"anything else reads as false", false, "yes", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LifecycleRun run;
        run.environment.run.silent = c.silent;
        run.commands.Register("Fetch Media", [](RunContext& context, std::size_t) { ReportMediaError(context, kError); });
        run.Start(ScriptBuilder()
                      .Set("ABORTONERROR", c.abortOnError)
                      .Add("Fetch Media")
                      .Set("LOG", "after $ABORTEDONERROR$")
                      .Build());
        EXPECT_EQ(run.result.end, c.ends ? RunEnd::Terminated : RunEnd::Finished);
        EXPECT_EQ(run.result.exitCode, 0);
        EXPECT_EQ(run.store.Get("LOG"), c.ends ? "" : "after TRUE");
        EXPECT_EQ(run.store.Get("ABORTEDONERROR"), c.ends ? "FALSE" : "TRUE");
        const std::vector<std::string> shown = {"enter error", std::string("box ") + kError, "leave"};
        const std::vector<std::string> traced = {"enter error", "leave"};
        EXPECT_EQ(run.events, c.silent ? traced : shown);
        const bool inTrace = std::find(run.trace.lines.begin(), run.trace.lines.end(), kError) != run.trace.lines.end();
        EXPECT_EQ(inTrace, c.silent);
    }
}

TEST(MediaError, SilentCommandLineValuesStayProtected) {
    // A silent run protects command-line names, except for the override
    // origin: ABORTEDONERROR given as FALSE stays FALSE.
    LifecycleRun run;
    run.environment.run.silent = true;
    run.environment.run.overrides = {"ABORTEDONERROR", "FALSE", "ABORTONERROR", "FALSE"};
    run.commands.Register("Fetch Media", [](RunContext& context, std::size_t) { ReportMediaError(context, kError); });
    run.Start(ScriptBuilder().Add("Fetch Media").Set("LOG", "after").Build());
    EXPECT_EQ(run.store.Get("LOG"), "after");
    EXPECT_EQ(run.store.Get("ABORTEDONERROR"), "FALSE");
}

TEST(MediaError, EndRunOrPassOverUsesTheGivenOrigin) {
    LifecycleRun run;
    run.commands.Register("Cancelled Worker", [](RunContext& context, std::size_t) {
        EndRunOrPassOver(context, "Cancel at Run-Program Time");
    });
    run.Start(ScriptBuilder().Set("ABORTONERROR", "FALSE").Add("Cancelled Worker").Set("LOG", "$ABORTEDONERROR$").Build());
    EXPECT_EQ(run.store.Get("LOG"), "TRUE");
    EXPECT_TRUE(run.events.empty()) << "the caller shows its own box";
}

}  // namespace
}  // namespace kaviro::script
