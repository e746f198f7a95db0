// Frames for the encoder that are used again once the encoder has let go of them, so that a
// long video allocates no picture memory per frame.
#pragma once

#include <memory>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

namespace filterhost {

class FramePool {
public:
    FramePool(AVPixelFormat format, int width, int height)
        : format_(format), width_(width), height_(height) {}

    // A writable frame of the pool's format and size, holding whatever picture it last held;
    // the pool keeps it.
    AVFrame *Take();

private:
    struct Freer {
        void operator()(AVFrame *frame) const { av_frame_free(&frame); }
    };
    AVPixelFormat format_;
    int width_, height_;
    std::vector<std::unique_ptr<AVFrame, Freer>> frames_;
};

}  // namespace filterhost
