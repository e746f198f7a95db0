// The repair of video frames in place: planned once for frames of one format and size, one
// kind of field order and one set of settings, then done on each such frame.
#pragma once

#include <gst/video/video.h>

#include <cstdint>
#include <vector>

#include "border_settings.h"
#include "canvas.h"
#include "picture_formats.h"
#include "strip_converter.h"

namespace kantora::gstreamer {

class FrameRepair {
public:
    // For frames of `info`, whose fields are taken apart in time when `interlaced`. False, with
    // nothing planned, when the canvas's memory cannot be had or GStreamer has no converter.
    bool Plan(const GstVideoInfo &info, bool interlaced, const BorderSettings &settings);
    // Whatever was planned goes.
    void Clear();

    // Every frame passes unchanged.
    bool ChangesNothing() const { return changesNothing_; }

    // A frame as planned for; its samples outside the strips the settings reach stay. False
    // when memory for the alpha of the changed pixels cannot be had.
    bool Repair(GstVideoFrame &frame);

private:
    BorderSettings settings_{};
    FormatRepair format_;
    bool changesNothing_ = true;
    BgrxCanvas canvas_;
    StripConverter reader_;       // the strips the repair reads, into the canvas
    StripConverter writer_;       // the strips it changes, back
    std::vector<uint8_t> alpha_;  // the alpha of the pixels changed in place meanwhile
};

}  // namespace kantora::gstreamer
