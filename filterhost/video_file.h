// Whole video files through the filter with FFmpeg's libraries: the first video stream is
// decoded, each frame converted to the plug-in's 32-bit pixels, repaired and encoded again at
// the input's size, frame rate and time stamps; every other stream is copied unchanged.
#pragma once

#include <string>

#include "expected.h"
#include "filter_instance.h"

struct VideoJob {
    std::string input;
    std::string output;
    std::string codec;      // encoder name; empty: a default for the output's container
    bool progress = false;  // a progress line on standard error
};

// The output is written under a temporary name beside it and renamed when complete. An input
// that breaks part-way still leaves the frames before the break in a valid file under the
// output's name, and the failure says so.
Status RepairVideo(FilterInstance &instance, const VideoJob &job);
