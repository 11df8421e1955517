#include <windows.h>

#include "script/worker_wake.h"

namespace kaviro::script {

namespace {

class ThreadTimer final : public WakeTimer {
  public:
    explicit ThreadTimer(uint32_t intervalMs) : id_(SetTimer(nullptr, 0, intervalMs, nullptr)) {}
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;
    ~ThreadTimer() override {
        if (id_ != 0) KillTimer(nullptr, id_);
    }

  private:
    UINT_PTR id_;
};

}  // namespace

std::function<void()> MainThreadWaker() {
    // A thread gets its message queue with its first message call; make sure
    // it has one, so a worker that ends at once still finds it.
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const DWORD mainThread = GetCurrentThreadId();
    return [mainThread] {
        // A failed post only delays the wait until its next timer message.
        PostThreadMessageA(mainThread, WM_NULL, 0, 0);
    };
}

std::unique_ptr<WakeTimer> StartWakeTimer(uint32_t intervalMs) {
    return std::make_unique<ThreadTimer>(intervalMs);
}

}  // namespace kaviro::script
