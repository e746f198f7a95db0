// Raw frames read on a thread of their own, into a small fixed ring of bitmaps, so that the
// next frame comes through the pipe while the filter works on this one. Memory stays at the
// ring's few frames however long the stream is. The first frame is read on the caller's
// thread: a caller that takes only that one starts no thread and reads no frame more.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host_results.h"
#include "host_bitmap.h"
#include "raw_frames.h"

namespace filterhost {

class FrameReadAhead {
public:
    // Reads from `reader` (used only by the reading thread once it runs) into `slots` bitmaps
    // of the frame size laid out as given.
    FrameReadAhead(RawFrameReader &reader, FrameSize size, BitmapLayout layout, int slots = 3);
    FrameReadAhead(const FrameReadAhead &) = delete;
    FrameReadAhead &operator=(const FrameReadAhead &) = delete;
    // Stops the reading thread; a frame it is in the middle of is read to its end first.
    ~FrameReadAhead();

    // The next frame in stream order (its bitmap is the caller's until the next call), null at
    // the end of the stream, or the failure the reader met there.
    Expected<HostBitmap *> Next();

private:
    struct Slot {
        Slot(FrameSize size, BitmapLayout layout) : bitmap(size.width, size.height, layout) {}
        HostBitmap bitmap;
        Expected<bool> result = false;
    };
    void ReadFrames(size_t first);

    RawFrameReader &reader_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t ready_ = 0;      // slots read and not yet taken, from taken_ on
    size_t taken_ = 0;      // the next slot to hand out
    bool holding_ = false;  // the slot before taken_ is still the caller's
    bool stop_ = false;
    std::thread thread_;  // started when the second frame is asked for
};

}  // namespace filterhost
