#include "script/worker_wait.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "engine/text_util.h"
#include "script/media_error.h"
#include "script/run_context.h"
#include "script/variable_text.h"
#include "script/worker_thread.h"
#include "script/worker_wake.h"

namespace kaviro::script {

namespace {

// How often a silent wait looks at the cancel flag while no watchdog runs,
// and how often the message wait of a windowed run is woken at least.
constexpr uint32_t kSilentSliceMs = 1000;
constexpr uint32_t kWakeIntervalMs = 500;

bool IsCancelled(const TVariableManager& variables) { return TextToBool(variables.Get(kIsCancelled)); }

}  // namespace

uint32_t WorkerWatchdog::RemainingMs(uint32_t now) const {
    const uint32_t elapsed = now - periodStart_;
    return elapsed >= settings_.periodMs ? 0 : settings_.periodMs - elapsed;
}

bool WorkerWatchdog::Expired(RunContext& context, uint32_t now) {
    if (!armed_ || RemainingMs(now) > 0) return false;
    if (settings_.kind == WatchdogKind::Deadline) return true;
    TVariableManager& variables = context.variables();
    const std::string delegate = variables.Get(kLastDelegateTick);
    if (delegate == variables.Get(kLastActiveTick)) return true;
    variables.Set(kLastActiveTick, delegate);
    periodStart_ = now;
    return false;
}

void WaitForWorker(RunContext& context, WorkerThread* worker, uint32_t silentLimitMs) {
    MessagePump* pump = context.environment().pump;
    if (!worker) {
        if (pump && !context.Silent()) pump->ProcessPendingMessages();
        return;
    }
    if (context.Silent() || !pump) {
        worker->WaitFinished(std::chrono::milliseconds(silentLimitMs));
        return;
    }
    pump->WaitOneMessage();
}

void PushScriptProgress(RunContext& context) {
    TVariableManager& variables = context.variables();
    const std::string text = variables.Get("PROGRESSTEXT");
    const int64_t position = ParseInt32(variables.Get("PROGRESS")).value_or(0);
    variables.ReportProgress(text, 0, 100, position);
    if (DialogHost* dialogs = context.environment().dialogs) dialogs->PushProgress(text, position);
    WaitForWorker(context, nullptr, 0);
}

WorkerEnd AwaitWorker(RunContext& context, WorkerThread& worker, std::string_view cancelOrigin,
                      WatchdogSettings settings) {
    TVariableManager& variables = context.variables();
    WorkerWatchdog watchdog(settings);
    // The message wait of a windowed run wakes regularly, so the cancel flag
    // and the watchdog are looked at even when nothing else posts a message.
    std::unique_ptr<WakeTimer> wakeTimer;
    if (!context.Silent()) wakeTimer = StartWakeTimer(kWakeIntervalMs);
    while (!worker.Finished()) {
        if (!watchdog.Armed() && IsCancelled(variables)) {
            variables.Set(kLastActiveTick, variables.Get(kLastDelegateTick));
            worker.RequestStop();
            watchdog.Arm(variables.CurrentTick());
        }
        if (watchdog.Expired(context, variables.CurrentTick())) {
            worker.Abandon();
            break;
        }
        const uint32_t limit =
            watchdog.Armed() ? std::max<uint32_t>(1, watchdog.RemainingMs(variables.CurrentTick())) : kSilentSliceMs;
        WaitForWorker(context, &worker, limit);
    }
    return CancellationEpilogue(context, cancelOrigin);
}

WorkerEnd CancellationEpilogue(RunContext& context, std::string_view cancelOrigin) {
    TVariableManager& variables = context.variables();
    if (!IsCancelled(variables)) return WorkerEnd::Completed;
    if (!TextToBool(variables.Get("ABORTEDONERROR"))) {
        // The taskbar shows its error state while the box is open.
        PromptStateHost* prompt = context.environment().prompt;
        if (prompt) prompt->EnterPromptState(true);
        context.ShowError(std::string(kSetupCancelledText));
        if (prompt) prompt->LeavePromptState();
    }
    EndRunOrPassOver(context, cancelOrigin);
    return context.Ended() ? WorkerEnd::RunEnded : WorkerEnd::Cancelled;
}

}  // namespace kaviro::script
