#include "script/worker_wake.h"

namespace kaviro::script {

std::function<void()> MainThreadWaker() {
    return [] {};
}

std::unique_ptr<WakeTimer> StartWakeTimer(uint32_t /*intervalMs*/) {
    return std::make_unique<WakeTimer>();
}

}  // namespace kaviro::script
