// The raw video formats the element takes, and how it repairs each: where a frame's pixels are
// the filter's own 32-bit words it is repaired where it lies; any other frame through the strips
// at its edges, converted to those words and back.
#pragma once

#include <gst/video/video.h>

#include "strips.h"

namespace kantora::gstreamer {

// The formats of the element's pads, for GST_VIDEO_CAPS_MAKE.
#define KANTORA_GST_FORMATS                                                                     \
    "{ I420, YV12, Y42B, Y444, NV12, NV21, YUY2, UYVY, YVYU, I420_10LE, I422_10LE, Y444_10LE, " \
    "v210, GRAY8, GRAY16_LE, BGRx, BGRA, RGBx, RGBA, xRGB, ARGB, RGB, BGR }"

enum class RepairPath {
    Direct,            // 0xXXRRGGBB words in memory: repaired in the frame
    DirectKeepsAlpha,  // the same with alpha in bits 24-31, which every pixel keeps
    Strips,            // converted strip by strip
};

struct FormatRepair {
    RepairPath path = RepairPath::Strips;
    bool alpha = false;  // the format carries alpha, which the repaired pixels keep
};

FormatRepair RepairOf(GstVideoFormat format);

// The picture as the engine plans its strips: the grid of samples that no strip may split
// (a chroma sample; v210's block of six pixels), and whether its fields were taken apart in
// time.
PictureLayout LayoutOf(const GstVideoInfo &info, bool interlaced);

}  // namespace kantora::gstreamer
