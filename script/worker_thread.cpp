#include "script/worker_thread.h"

#include <exception>

namespace kaviro::script {

void WorkerChannel::ReportProgress(std::string_view text, int64_t minimum, int64_t maximum, int64_t position) {
    std::lock_guard guard(mutex_);
    if (variables_) variables_->ReportProgress(text, minimum, maximum, position);
}

bool WorkerChannel::StopRequested() const {
    if (stop_.load()) return true;
    std::lock_guard guard(mutex_);
    return !variables_ || variables_->Get(kThreadCancelled) == "TRUE";
}

void WorkerChannel::Detach() {
    stop_.store(true);
    std::lock_guard guard(mutex_);
    variables_ = nullptr;
}

WorkerThread::WorkerThread(TVariableManager& variables, WorkerJob job, std::function<void()> wake)
    : shared_(std::make_shared<Shared>(variables)) {
    shared_->job = std::move(job);
    shared_->wake = std::move(wake);
    thread_ = std::thread(Run, shared_);
}

void WorkerThread::Run(const std::shared_ptr<Shared>& shared) {
    // A thread entry lets nothing escape: a job that throws has failed.
    bool success = false;
    try {
        success = shared->job(shared->channel);
    } catch (...) {
        success = false;
    }
    {
        std::lock_guard guard(shared->mutex);
        shared->done = true;
        shared->success = success && !shared->abandoned;
    }
    shared->finished.notify_all();
    try {
        if (shared->wake) shared->wake();
    } catch (...) {
        // A lost wake-up only delays the wait until its next timer message.
    }
}

WorkerThread::~WorkerThread() {
    if (!thread_.joinable()) return;
    if (Finished() && !Abandoned()) {
        thread_.join();
    } else {
        Abandon();
    }
}

bool WorkerThread::Finished() const {
    std::lock_guard guard(shared_->mutex);
    return shared_->done || shared_->abandoned;
}

bool WorkerThread::Succeeded() const {
    std::lock_guard guard(shared_->mutex);
    return shared_->done && shared_->success && !shared_->abandoned;
}

bool WorkerThread::Abandoned() const {
    std::lock_guard guard(shared_->mutex);
    return shared_->abandoned;
}

void WorkerThread::RequestStop() { shared_->channel.RequestStop(); }

bool WorkerThread::WaitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock guard(shared_->mutex);
    return shared_->finished.wait_for(guard, timeout, [this] { return shared_->done || shared_->abandoned; });
}

void WorkerThread::Abandon() {
    shared_->channel.Detach();
    {
        std::lock_guard guard(shared_->mutex);
        if (shared_->done) {
            // It finished meanwhile: nothing to give up.
        } else {
            shared_->abandoned = true;
        }
    }
    shared_->finished.notify_all();
    if (thread_.joinable()) {
        if (Abandoned()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }
}

}  // namespace kaviro::script
