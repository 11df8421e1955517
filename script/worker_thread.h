#pragma once
// A command's worker thread. The job runs off the main thread and reaches
// the variable store only through its WorkerChannel: progress out, the stop
// request in. It never touches windows or the interpreter.
//
// Stopping: a stop request is cooperative (the job polls StopRequested). A
// worker that does not react can be abandoned: its channel is detached first,
// which waits out any store access in progress, so from then on the worker
// can neither hold the store's lock nor reach a store that has gone; the wait
// ends at once and the thread is left to finish on its own, owning only its
// shared state. A thread is never killed, because a killed thread may die
// holding a lock (ours, the heap's, the loader's) that the engine needs next.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "script/variable_manager.h"

namespace kaviro::script {

class WorkerChannel {
public:
    explicit WorkerChannel(TVariableManager& variables) : variables_(&variables) {}
    WorkerChannel(const WorkerChannel&) = delete;
    WorkerChannel& operator=(const WorkerChannel&) = delete;

    // ReportProgress of the store while attached; nothing once detached.
    void ReportProgress(std::string_view text, int64_t minimum, int64_t maximum, int64_t position);
    // The command asked the worker to stop, or VELK_thCancelled is "TRUE",
    // or the worker was abandoned.
    [[nodiscard]] bool StopRequested() const;

    void RequestStop() { stop_.store(true); }
    // After this returns, the channel never touches the store again.
    void Detach();

private:
    mutable std::mutex mutex_;  // held across every store access
    TVariableManager* variables_;
    std::atomic<bool> stop_{false};
};

// The job's outcome: true for success.
using WorkerJob = std::function<bool(WorkerChannel& channel)>;

class WorkerThread {
public:
    // Starts the job at once. wake is called on the worker thread after the
    // done flag is set (the main thread's message wait wakes up).
    WorkerThread(TVariableManager& variables, WorkerJob job, std::function<void()> wake);
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Joins a finished worker; abandons one that still runs.
    ~WorkerThread();

    // Done, or abandoned (an abandoned worker counts as finished for the wait).
    [[nodiscard]] bool Finished() const;
    // The job returned true (false for a job that failed, threw or was abandoned).
    [[nodiscard]] bool Succeeded() const;
    [[nodiscard]] bool Abandoned() const;

    void RequestStop();
    // Blocks until the worker has finished or the timeout has passed; true when finished.
    bool WaitFinished(std::chrono::milliseconds timeout);
    // The watchdog's last resort: detach the channel, give up the thread,
    // mark the worker finished.
    void Abandon();

private:
    struct Shared {
        explicit Shared(TVariableManager& variables) : channel(variables) {}
        WorkerChannel channel;
        WorkerJob job;
        std::function<void()> wake;
        mutable std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool success = false;
        bool abandoned = false;
    };
    static void Run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace kaviro::script
