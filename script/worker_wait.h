#pragma once
// The worker pattern of the commands that run a worker thread: wait for the
// worker, ask it to stop when the setup is cancelled, stop waiting for a
// worker that has gone silent, then the cancellation epilogue.

#include <cstdint>
#include <string_view>

namespace kaviro::script {

class RunContext;
class WorkerThread;

inline constexpr uint32_t kWatchdogPeriodMs = 5000;
inline constexpr std::string_view kSetupCancelledText = "Setup cancelled";

// How the watchdog judges a worker that was asked to stop.
enum class WatchdogKind {
    Heartbeat,  // stopped once a whole period passed without progress
    Deadline,   // stopped at the end of the first period
};

struct WatchdogSettings {
    WatchdogKind kind = WatchdogKind::Heartbeat;
    uint32_t periodMs = kWatchdogPeriodMs;
};

// The watchdog of one wait, armed when the interpreter asks the worker to
// stop. Ticks are milliseconds of the store's tick source.
class WorkerWatchdog {
public:
    explicit WorkerWatchdog(WatchdogSettings settings) : settings_(settings) {}
    void Arm(uint32_t now) {
        armed_ = true;
        periodStart_ = now;
    }
    [[nodiscard]] bool Armed() const { return armed_; }
    [[nodiscard]] uint32_t RemainingMs(uint32_t now) const;
    // At the end of each period: when the worker reported progress since the
    // last look (VELK_LastDelegateTick differs from VELK_LastActiveTick), the
    // value is copied and another period starts; otherwise true: stop it.
    [[nodiscard]] bool Expired(RunContext& context, uint32_t now);

private:
    WatchdogSettings settings_;
    bool armed_ = false;
    uint32_t periodStart_ = 0;
};

// One step of a wait. Not silent: one window message (waiting for one when
// none is queued). Silent: blocks on the worker, at most silentLimitMs.
// Without a worker it processes the pending messages and returns.
void WaitForWorker(RunContext& context, WorkerThread* worker, uint32_t silentLimitMs);

// PROGRESSTEXT and PROGRESS to the display (scale 0 to 100) through the
// progress report, then a wait step without a worker so the display repaints.
void PushScriptProgress(RunContext& context);

enum class WorkerEnd {
    Completed,  // the worker finished and nothing was cancelled
    Cancelled,  // cancelled; ABORTEDONERROR is "TRUE", the run continues
    RunEnded,   // cancelled with ABORTONERROR true: the run ends as by "Terminate Install"
};

// Waits until the worker has finished. Once VELK_IsCancelled is true: copies
// VELK_LastDelegateTick into VELK_LastActiveTick, asks the worker to stop and
// arms the watchdog, which abandons a worker that stays silent. Then the
// cancellation epilogue with the command's origin text.
WorkerEnd AwaitWorker(RunContext& context, WorkerThread& worker, std::string_view cancelOrigin,
                      WatchdogSettings watchdog = {});

// After a worker has finished: when VELK_IsCancelled is true, "Setup
// cancelled" (unless ABORTEDONERROR is already true), then ABORTONERROR ends
// the run, or ABORTEDONERROR := "TRUE" with the origin.
WorkerEnd CancellationEpilogue(RunContext& context, std::string_view cancelOrigin);

}  // namespace kaviro::script
