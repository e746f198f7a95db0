// filterhost/video: whole video files, in a module of their own that links FFmpeg.
// The boundary between filterhost and its video module, which alone links FFmpeg's libraries
// and is opened only to read or write a video file: every other run of the host maps none of
// them.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "border_settings.h"
#include "host_results.h"
#include "frame_source.h"
#include "host_bitmap.h"

namespace filterhost {

// The filter as the video module sees it: one call per frame, on the module's calling thread.
class FrameFilter {
public:
    virtual Status Run(HostBitmap &source, HostBitmap &destination) = 0;

protected:
    ~FrameFilter() = default;
};

struct VideoJob {
    std::string input;
    std::string output;
    std::string codec;      // encoder name; empty: a default for the output's container
    bool progress = false;  // a progress line on standard error
    // The border filter's settings when the filter is the border filter: only the strips it
    // reads and changes are converted to its pixels and back, and the rest of each picture is
    // kept as decoded. Any other filter may change and read the whole picture.
    std::optional<kantora::BorderSettings> border;
};

// Host and module are built together and share C++ types, so a module from another build is
// refused by this number, which changes with anything declared here.
constexpr int kVideoModuleInterface = 4;

struct VideoModule {
    int interface;
    // The output is written under a temporary name beside it and renamed when complete. An
    // input that breaks part-way (or a frame the filter refuses) still leaves the frames
    // before the break in a valid file under the output's name, and the failure says so.
    Status (*repairVideo)(FrameFilter &filter, const VideoJob &job);
    // The frames of the first video stream, in bitmaps of `layout` (see frame_sampler.h).
    Expected<std::unique_ptr<FrameSource>> (*openFrames)(const std::string &path,
                                                         BitmapLayout layout);
};

// The one symbol the module exports.
#define FILTERHOST_VIDEO_MODULE_SYMBOL "filterhost_video_module"

// The module's file name, beside the program or in ../lib/kantora from its folder.
constexpr const char *kVideoModuleFile = "filterhost-video.so";

// Opens the module (once per process) and returns its record, or why it cannot be used.
Expected<const VideoModule *> LoadVideoModule();

}  // namespace filterhost
