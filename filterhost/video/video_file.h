// Whole video files through the filter with FFmpeg's libraries: the first video stream is
// decoded, each frame converted to the plug-in's 32-bit pixels, repaired and encoded again at
// the input's size, frame rate and time stamps; every other stream is copied unchanged.
#pragma once

#include "video_module.h"

Status RepairVideo(FrameFilter &filter, const VideoJob &job);
