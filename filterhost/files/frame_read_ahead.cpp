#include "frame_read_ahead.h"

namespace filterhost {

FrameReadAhead::FrameReadAhead(RawFrameReader &reader, FrameSize size, BitmapLayout layout,
                               int slots)
    : reader_(reader) {
    for (int k = 0; k < slots; ++k)
        slots_.push_back(std::make_unique<Slot>(size, layout));
}

FrameReadAhead::~FrameReadAhead() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

// Fills the free slots in ring order from `first`; the last slot filled holds the end of the
// stream or the failure, after every frame before it.
void FrameReadAhead::ReadFrames(size_t first) {
    for (size_t next = first % slots_.size();; next = (next + 1) % slots_.size()) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || ready_ + holding_ < slots_.size(); });
            if (stop_)
                return;
        }
        // The slot is free: neither handed out nor waiting, so no other thread touches it.
        Slot &slot = *slots_[next];
        slot.result = reader_.Next(slot.bitmap);
        const bool more = slot.result.ok() && *slot.result;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++ready_;
        }
        changed_.notify_all();
        if (!more)
            return;
    }
}

Expected<HostBitmap *> FrameReadAhead::Next() {
    // The first frame is read here, so that a caller that takes one frame starts no thread;
    // the thread starts when the second is asked for.
    if (!thread_.joinable()) {
        if (taken_ == 0 && ready_ == 0) {
            slots_[0]->result = reader_.Next(slots_[0]->bitmap);
            ready_ = 1;
        } else if (holding_) {
            thread_ = std::thread([this] { ReadFrames(1); });
        }
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (holding_) {
        holding_ = false;
        changed_.notify_all();
    }
    changed_.wait(lock, [&] { return ready_ > 0; });
    Slot &slot = *slots_[taken_];
    if (!slot.result)
        return slot.result.failure();  // kept there: a later call gets it again
    if (!*slot.result)
        return static_cast<HostBitmap *>(nullptr);
    --ready_;
    taken_ = (taken_ + 1) % slots_.size();
    holding_ = true;
    return &slot.bitmap;
}

}  // namespace filterhost
