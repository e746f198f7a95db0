// Frames from any input, handed over one at a time as the host's bitmaps: raw frames and PNG
// pictures here, video files from the video module. Every mode that reads frames (processing
// raw frames or a picture, measuring for --suggest, previewing for --configure) reads them
// through this.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host_results.h"
#include "frame_size.h"
#include "host_bitmap.h"

namespace filterhost {

// Takes one frame, which is the taker's to read or change only during the call; false: no
// more frames are wanted.
using FrameVisitor = std::function<bool(HostBitmap &frame)>;
// Learns before the first frame how many will come (0: not known).
using FrameCount = std::function<void(int64_t frames)>;

// A source is read once, by Each or by Spread.
class FrameSource {
public:
    virtual ~FrameSource() = default;

    // How messages name the input, quoted as they show it (printable_text.h).
    const std::string &Name() const { return name_; }

    // Every frame in order, until the input ends or `visit` wants no more: Ok, or why the
    // input broke (the whole frames before it have been handed over).
    virtual Status Each(const FrameVisitor &visit) = 0;
    // The same for about `wanted` frames spread over the whole input, for measuring it.
    virtual Status Spread(int64_t wanted, const FrameCount &expect, const FrameVisitor &visit) = 0;

protected:
    explicit FrameSource(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};

// Raw frames of `size` from a file, or from standard input for "-" (see raw_frames.h). Each
// reads them ahead on a thread of their own, straight into the bitmaps handed over; Spread
// seeks to frames spread over a file, and samples a stream as it goes (see frame_sampling.h).
Expected<std::unique_ptr<FrameSource>> OpenRawFrames(const std::string &path, FrameSize size,
                                                     BitmapLayout layout);

// One PNG picture, read at once (see png_files.h).
Expected<std::unique_ptr<FrameSource>> OpenPicture(const std::string &path, BitmapLayout layout);

// Whether the file starts with the PNG signature; false also when it cannot be read.
bool StartsLikePng(const std::string &path);

}  // namespace filterhost
