#pragma once
// The platform side of a wait for a worker on the main thread: the worker's
// wake-up (an empty window message to the main thread) and a timer that keeps
// the main thread's message wait waking while it waits. The native build has
// no message queue; both do nothing there.

#include <cstdint>
#include <functional>
#include <memory>

namespace kaviro::script {

// Made on the main thread; the function may be called from any thread.
std::function<void()> MainThreadWaker();

class WakeTimer {
public:
    virtual ~WakeTimer() = default;
};

// A timer message to the main thread every interval while the object lives.
std::unique_ptr<WakeTimer> StartWakeTimer(uint32_t intervalMs);

}  // namespace kaviro::script
