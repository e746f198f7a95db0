// Whole video files through the filter with FFmpeg's libraries: the first video stream is
// decoded, the strips at each frame's edges that the filter reads converted to the plug-in's
// 32-bit pixels, the strips it changes converted back into the decoded picture, which is encoded
// again at the input's size, frame rate and time stamps; every other stream is copied unchanged.
#pragma once

#include "video_module.h"

namespace filterhost {

Status RepairVideo(FrameFilter &filter, const VideoJob &job);

}  // namespace filterhost
