#include "script/worker_wait.h"

#include <gtest/gtest.h>

#include <memory>

#include "script/run_context.h"
#include "script/worker_thread.h"
#include "script_builder.h"
#include "worker_fixture.h"

namespace kaviro::script {
namespace {

using namespace std::chrono_literals;
using testing::FakeClockPump;
using testing::Gate;
using testing::RecordingReport;
using testing::RecordingTrace;

class WorkerWaitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        variables_.SetTickSource([this] { return tick_.load(); });
        environment_.variables = &variables_;
        environment_.pump = &pump_;
        environment_.report = &report_;
        environment_.trace = &trace_;
        context_ = std::make_unique<RunContext>(script_, environment_);
        for (const char* name : {"VELK_IsCancelled", "VELK_thCancelled", "ABORTONERROR", "ABORTEDONERROR"})
            variables_.Set(name, "FALSE");
        variables_.Set("VELK_LastDelegateTick", "0");
        variables_.Set("VELK_LastActiveTick", "0");
    }
    void TearDown() override { gate_->Open(); }

    void Cancel() { variables_.Set("VELK_IsCancelled", "TRUE"); }
    void Silent() { variables_.SetSilent(true); }

    // A worker that ends as soon as it is asked to stop.
    WorkerJob Cooperative() {
        return [](WorkerChannel& channel) {
            while (!channel.StopRequested()) std::this_thread::sleep_for(1ms);
            return true;
        };
    }
    // A worker that ignores the stop request until the gate opens.
    WorkerJob Deaf() {
        auto gate = gate_;
        return [gate](WorkerChannel&) { return gate->WaitOpen(); };
    }

    Script script_ = testing::ScriptBuilder().Build();
    std::atomic<uint32_t> tick_{1000};
    TVariableManager variables_;
    FakeClockPump pump_{tick_, 500};
    RecordingReport report_;
    RecordingTrace trace_;
    RunEnvironment environment_;
    std::unique_ptr<RunContext> context_;
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

TEST_F(WorkerWaitTest, AWorkerThatFinishesEndsTheWaitWithoutAnyEpilogue) {
    for (const bool silent : {false, true}) {
        variables_.SetSilent(silent);
        WorkerThread worker(variables_, [](WorkerChannel& channel) {
            channel.ReportProgress("working", 0, 10, 5);
            return true;
        }, [] {});
        EXPECT_EQ(AwaitWorker(*context_, worker, "Cancel at Test Time"), WorkerEnd::Completed);
        EXPECT_TRUE(worker.Succeeded());
        EXPECT_EQ(variables_.Get("VELK_thProgressText"), "working");
        EXPECT_EQ(variables_.Get("ABORTEDONERROR"), "FALSE");
        EXPECT_TRUE(report_.errors.empty());
        EXPECT_FALSE(context_->Ended());
    }
}

TEST_F(WorkerWaitTest, ACancelledWaitAsksTheWorkerToStopThenRunsTheEpilogue) {
    const struct {
        bool silent;
        const char* abortedBefore;
        const char* abortOnError;
        bool boxShown;    // non-silent runs show the box
        bool traced;      // silent runs trace its text
        WorkerEnd end;
    } cases[] = {
        {false, "FALSE", "FALSE", true, false, WorkerEnd::Cancelled},
        {true, "FALSE", "FALSE", false, true, WorkerEnd::Cancelled},
        {false, "FALSE", "TRUE", true, false, WorkerEnd::RunEnded},
        {true, "FALSE", "true", false, true, WorkerEnd::RunEnded},
        {false, "TRUE", "FALSE", false, false, WorkerEnd::Cancelled},
        {true, "TRUE", "TRUE", false, false, WorkerEnd::RunEnded},
    };
    for (const auto& c : cases) {
        SetUp();
        variables_.SetSilent(c.silent);
        variables_.Set("ABORTEDONERROR", c.abortedBefore);
        variables_.Set("ABORTONERROR", c.abortOnError);
        variables_.Set("VELK_LastDelegateTick", "777");
        report_.errors.clear();
        trace_.lines.clear();
        // Fake time stands still: however slow the worker is to see the stop
        // request, the watchdog never has a reason to step in.
        pump_.stepMs = 0;
        Cancel();
        WorkerThread worker(variables_, Cooperative(), [] {});
        const WorkerEnd end = AwaitWorker(*context_, worker, "Cancel at Test Time");
        SCOPED_TRACE(::testing::Message() << "silent=" << c.silent << " aborted=" << c.abortedBefore
                                        << " abortOnError=" << c.abortOnError);
        EXPECT_EQ(end, c.end);
        EXPECT_TRUE(worker.Succeeded()) << "the worker stopped on request, it was not abandoned";
        EXPECT_EQ(variables_.Get("VELK_LastActiveTick"), "777");
        EXPECT_EQ(report_.errors, c.boxShown ? std::vector<std::string>{"Setup cancelled"} : std::vector<std::string>{});
        EXPECT_EQ(trace_.lines, c.traced ? std::vector<std::string>{"Setup cancelled"} : std::vector<std::string>{});
        EXPECT_EQ(context_->Ended(), c.end == WorkerEnd::RunEnded);
        EXPECT_EQ(variables_.Get("ABORTEDONERROR"), c.end == WorkerEnd::Cancelled ? "TRUE" : c.abortedBefore);
    }
}

TEST_F(WorkerWaitTest, AWorkerSilentForAWholeWatchdogPeriodIsAbandonedAndCanNoLongerTouchTheStore) {
    Cancel();
    auto gate = gate_;
    auto late = std::make_shared<Gate>();
    WorkerThread worker(variables_, [gate, late](WorkerChannel& channel) {
        gate->WaitOpen();
        channel.ReportProgress("late", 0, 100, 99);
        late->Open();
        return true;
    }, [] {});
    EXPECT_EQ(AwaitWorker(*context_, worker, "Cancel at Test Time"), WorkerEnd::Cancelled);
    EXPECT_TRUE(worker.Abandoned());
    EXPECT_FALSE(worker.Succeeded());
    // 5000 ms at 500 ms per wait step: the check at the period's end stops it.
    EXPECT_EQ(pump_.waits, 10);
    EXPECT_EQ(variables_.Get("ABORTEDONERROR"), "TRUE");
    gate_->Open();
    ASSERT_TRUE(late->WaitOpen());
    EXPECT_NE(variables_.Get("VELK_thProgressText"), "late");
    EXPECT_NE(variables_.Get("VELK_thProgress"), "99");
}

TEST_F(WorkerWaitTest, AWorkerThatKeepsReportingProgressIsNeverAbandoned) {
    // Each wait step asks the worker for one report and waits for it, so the
    // worker reports in every watchdog period; it ends after 30 reports
    // (15 s of fake time, three watchdog periods).
    constexpr int kReports = 30;
    auto mutex = std::make_shared<std::mutex>();
    auto changed = std::make_shared<std::condition_variable>();
    auto requested = std::make_shared<int>(0);
    auto reported = std::make_shared<int>(0);
    pump_.onWait = [&] {
        std::unique_lock guard(*mutex);
        if (*requested >= kReports) return;
        ++*requested;
        changed->notify_all();
        changed->wait_for(guard, 10s, [&] { return *reported >= *requested; });
    };
    Cancel();
    WorkerThread worker(variables_, [=](WorkerChannel& channel) {
        std::unique_lock guard(*mutex);
        while (*reported < kReports) {
            if (!changed->wait_for(guard, 10s, [&] { return *requested > *reported; })) return false;
            channel.ReportProgress("$IGNORE$", 0, 100, *reported);
            ++*reported;
            changed->notify_all();
        }
        return true;
    }, [] {});
    EXPECT_EQ(AwaitWorker(*context_, worker, "Cancel at Test Time"), WorkerEnd::Cancelled);
    EXPECT_FALSE(worker.Abandoned());
    EXPECT_TRUE(worker.Succeeded());
    EXPECT_GE(pump_.waits, kReports);
}

TEST_F(WorkerWaitTest, SilentRunsBlockOnTheWorkerAndStillStopAHungOne) {
    Silent();
    Cancel();
    variables_.SetTickSource({});  // the real clock: the silent wait blocks for real
    WorkerThread worker(variables_, Deaf(), [] {});
    EXPECT_EQ(AwaitWorker(*context_, worker, "Cancel at Test Time", {WatchdogKind::Heartbeat, 50}),
              WorkerEnd::Cancelled);
    EXPECT_TRUE(worker.Abandoned());
    EXPECT_EQ(pump_.waits, 0) << "a silent run services no window";
    EXPECT_EQ(trace_.lines, (std::vector<std::string>{"Setup cancelled"}));
}

TEST_F(WorkerWaitTest, ADeadlineWatchdogStopsAWorkerEvenWhileItReportsProgress) {
    Cancel();
    auto gate = gate_;
    WorkerThread worker(variables_, [gate](WorkerChannel& channel) {
        int position = 0;
        while (!gate->WaitOpen(1ms)) channel.ReportProgress("$IGNORE$", 0, 100, ++position % 100);
        return true;
    }, [] {});
    EXPECT_EQ(AwaitWorker(*context_, worker, "Cancel at Test Time", {WatchdogKind::Deadline, 5000}),
              WorkerEnd::Cancelled);
    EXPECT_TRUE(worker.Abandoned());
    EXPECT_EQ(pump_.waits, 10);
}

TEST_F(WorkerWaitTest, AJobThatThrowsHasFailedAndARunningWorkerIsAbandonedOnDestruction) {
    {
        WorkerThread failing(variables_, [](WorkerChannel&) -> bool { throw std::runtime_error("boom"); }, [] {});
        EXPECT_EQ(AwaitWorker(*context_, failing, "Cancel at Test Time"), WorkerEnd::Completed);
        EXPECT_TRUE(failing.Finished());
        EXPECT_FALSE(failing.Succeeded());
    }
    const auto start = std::chrono::steady_clock::now();
    { WorkerThread running(variables_, Deaf(), [] {}); }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "destruction must not wait for a hung worker";
}

TEST_F(WorkerWaitTest, TheWakeCallComesAfterTheDoneFlag) {
    auto seenFinished = std::make_shared<std::atomic<int>>(-1);
    auto self = std::make_shared<std::atomic<WorkerThread*>>(nullptr);
    auto ready = std::make_shared<Gate>();
    WorkerThread worker(variables_, [ready](WorkerChannel&) { return ready->WaitOpen(); },
                        [self, seenFinished] { *seenFinished = (*self).load()->Finished() ? 1 : 0; });
    *self = &worker;
    ready->Open();
    ASSERT_TRUE(worker.WaitFinished(10s));
    for (int i = 0; i < 10000 && *seenFinished == -1; ++i) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(*seenFinished, 1);
}

TEST_F(WorkerWaitTest, PushScriptProgressReportsOnAHundredScaleAndRepaintsOnlyWithAWindow) {
    variables_.Set("PROGRESS", "42");
    variables_.Set("PROGRESSTEXT", "Copying");
    PushScriptProgress(*context_);
    EXPECT_EQ(variables_.Get("VELK_thProgress"), "42");
    EXPECT_EQ(variables_.Get("VELK_thMin"), "0");
    EXPECT_EQ(variables_.Get("VELK_thMax"), "100");
    EXPECT_EQ(variables_.Get("VELK_thProgressText"), "Copying");
    EXPECT_EQ(variables_.Get("VELK_LastDelegateTick"), "1000");
    EXPECT_EQ(pump_.pendingCalls, 1);
    EXPECT_EQ(pump_.waits, 0) << "without a worker the wait never blocks";
    Silent();
    PushScriptProgress(*context_);
    EXPECT_EQ(pump_.pendingCalls, 1);
}

}  // namespace
}  // namespace kaviro::script
