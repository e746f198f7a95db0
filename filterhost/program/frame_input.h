// The frames' input as the command line names it, and the one place that opens it: raw frames
// and PNG pictures through the file library, video files through the video module.
#pragma once

#include <memory>
#include <string>

#include "host_results.h"
#include "frame_size.h"
#include "frame_source.h"

namespace filterhost {

struct FrameInput {
    enum class Kind {
        None,            // nothing named: --configure previews its test card
        RawFrames,       // raw frames of `size`
        Picture,         // a PNG picture
        Video,           // a video file
        PictureOrVideo,  // a PNG picture or a video file, as its first bytes say
    };
    Kind kind = Kind::None;
    std::string path = "-";  // "-": standard input
    FrameSize size;          // of raw frames
};

Expected<std::unique_ptr<FrameSource>> OpenFrames(const FrameInput &input, BitmapLayout layout);

}  // namespace filterhost
