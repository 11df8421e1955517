#pragma once
// Fakes for the worker pattern tests: a message pump that moves a fake
// clock on every wait step, a report host that records its boxes, a trace
// that records its lines, and a gate that holds a worker until released.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "script/run_environment.h"

namespace kaviro::script::testing {

class FakeClockPump final : public MessagePump {
  public:
    explicit FakeClockPump(std::atomic<uint32_t>& tick, uint32_t step) : stepMs(step), tick_(tick) {}
    void ProcessPendingMessages() override { ++pendingCalls; }
    void WaitOneMessage() override {
        ++waits;
        tick_ += stepMs;
        if (onWait) onWait();
        // Gives the worker a moment, as a real message wait would.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::function<void()> onWait;
    uint32_t stepMs;  // fake time per wait step
    int waits = 0;
    int pendingCalls = 0;

  private:
    std::atomic<uint32_t>& tick_;
};

class RecordingReport final : public ReportHost {
  public:
    void ShowFatalError(const std::string& text) override { fatal.push_back(text); }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> fatal;
    std::vector<std::string> errors;
};

class RecordingTrace final : public TraceWriter {
  public:
    void Trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// Holds a worker until the test opens it.
class Gate {
  public:
    void Open() {
        {
            std::lock_guard guard(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    // False when the gate stayed shut for the whole timeout.
    bool WaitOpen(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock guard(mutex_);
        return changed_.wait_for(guard, timeout, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

}  // namespace kaviro::script::testing
