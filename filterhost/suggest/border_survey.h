// filterhost/suggest: the settings suggestion, from a clip's frames to the filter's sixteen values.
// Measures the edges of a clip frame by frame; SuggestSettings (suggest_settings.h) then turns
// the measurements into the filter's sixteen values. Plain pixels in: nothing here knows the
// host, Windows or any decoder.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "edge_lines.h"
#include "edge_survey.h"

namespace suggest {

// Frames a clip is judged from: enough for damage that varies from frame to frame to show in
// most of them, few enough to measure (and decode) in a moment. Longer inputs are sampled.
constexpr int32_t kFramesWanted = 200;
// Fewer frames than this cannot tell damage that changes from frame to frame from picture:
// they are judged as still pictures, by what one picture shows.
constexpr int32_t kFewestMovingFrames = 3;
// Frames smaller than this on either side have too few lines to compare an edge with.
constexpr int32_t kSmallestSide = 48;

class BorderSurvey {
public:
    BorderSurvey(int32_t width, int32_t height);

    // One frame of the clip's size, 32-bit B, G, R, X pixels with `topRow` the picture's top
    // row and rows `pitch` bytes apart (negative for a bottom-up bitmap). Frames of another
    // size are not measured: returns false.
    bool Add(const uint8_t *topRow, ptrdiff_t pitch, int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t FramesMeasured() const { return frames_; }
    // How many frames the caller should hand over, spread over the whole input. Every frame
    // handed over is kept as a few hundred numbers per edge, so a long input is sampled.
    static int32_t FramesWanted() { return kFramesWanted; }
    // False when the frames are too small to measure (Add then measures nothing).
    bool Measurable() const { return measurable_; }
    // Whether any frame held more than one colour.
    bool SawDetail() const { return sawDetail_; }

    const EdgeSurvey &Survey(Edge side) const { return edges_[size_t(side)]; }

private:
    int32_t width_, height_;
    bool measurable_;
    int32_t frames_ = 0;
    bool sawDetail_ = false;
    std::array<EdgeSurvey, kEdgeCount> edges_;
    EdgeLines lines_;
};

}  // namespace suggest
