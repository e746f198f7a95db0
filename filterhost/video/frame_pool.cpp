#include "frame_pool.h"

#include <new>

namespace filterhost {

AVFrame *FramePool::Take() {
    // A frame is writable again when no one else holds its picture.
    for (const auto &frame : frames_)
        if (av_frame_is_writable(frame.get()))
            return frame.get();
    std::unique_ptr<AVFrame, Freer> frame(av_frame_alloc());
    if (!frame)
        throw std::bad_alloc();
    frame->format = format_;
    frame->width = width_;
    frame->height = height_;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();
    frames_.push_back(std::move(frame));
    return frames_.back().get();
}

}  // namespace filterhost
