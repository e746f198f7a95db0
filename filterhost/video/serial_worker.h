// Work done in order on a thread of its own, a few tasks ahead of the thread that posts them:
// the encoder and the muxer run here while the next frame is decoded and repaired.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "host_results.h"

namespace filterhost {

class SerialWorker {
public:
    explicit SerialWorker(size_t queued) : limit_(queued), thread_([this] { Work(); }) {}
    SerialWorker(const SerialWorker &) = delete;
    SerialWorker &operator=(const SerialWorker &) = delete;
    ~SerialWorker() { Finish(); }

    // Queues a task, waiting while `queued` are waiting already. After a task has failed no
    // other runs, and every later call returns that failure.
    Status Post(std::function<Status()> task);
    // Runs what is queued and stops the thread; the first failure, if any.
    Status Finish();

private:
    void Work();

    const size_t limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<Status()>> tasks_;
    bool finishing_ = false;
    std::optional<Failure> failed_;
    std::thread thread_;  // last: it starts once everything above is there
};

}  // namespace filterhost
