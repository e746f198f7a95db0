// The frames of a video file's first video stream as a frame source, converted to the host's
// pixels: Spread decodes only the frames it hands over where the container can seek to them,
// else it decodes the whole file and hands over a spread of it.
#pragma once

#include <memory>
#include <string>

#include "frame_source.h"

namespace filterhost {

Expected<std::unique_ptr<FrameSource>> OpenVideoFrames(const std::string &path,
                                                       BitmapLayout layout);

}  // namespace filterhost
