// Frames spread over a whole video file, for measuring its edges: decoded where the container
// can seek to them, else found by decoding it all.
#pragma once

#include "video_module.h"

Status SampleFrames(const std::string &path, int64_t wanted,
                    const std::function<void(int64_t frames)> &expect, const FrameVisitor &visit);
