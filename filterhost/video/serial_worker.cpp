#include "serial_worker.h"

#include <new>

namespace filterhost {

Status SerialWorker::Post(std::function<Status()> task) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return tasks_.size() < limit_ || failed_; });
    if (failed_)
        return *failed_;
    tasks_.push_back(std::move(task));
    changed_.notify_all();
    return Ok();
}

Status SerialWorker::Finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
        changed_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
    return failed_ ? Status(*failed_) : Ok();
}

void SerialWorker::Work() {
    for (;;) {
        std::function<Status()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return !tasks_.empty() || finishing_; });
            if (tasks_.empty() || failed_)
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
            changed_.notify_all();
        }
        Status done = Fail("out of memory");
        try {
            done = task();
        } catch (const std::bad_alloc &) {
        }
        if (!done) {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_ = done.failure();
            changed_.notify_all();
            return;
        }
    }
}

}  // namespace filterhost
