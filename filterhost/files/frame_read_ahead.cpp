#include "frame_read_ahead.h"

FrameReadAhead::FrameReadAhead(RawFrameReader &reader, FrameSize size, ptrdiff_t padding,
                               RowOrder order, int slots)
    : reader_(reader) {
    for (int k = 0; k < slots; ++k)
        slots_.push_back(std::make_unique<Slot>(size, padding, order));
    thread_ = std::thread([this] { ReadFrames(); });
}

FrameReadAhead::~FrameReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

// Fills the free slots in ring order; the last slot filled holds the end of the stream or
// the failure, after every frame before it.
void FrameReadAhead::ReadFrames() {
    for (size_t next = 0;; next = (next + 1) % slots_.size()) {
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
