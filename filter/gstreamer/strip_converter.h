// The strips at a frame's edges converted between the frame's format and the canvas of the
// filter's 32-bit pixels by GStreamer's converter, every other sample of the frame and of the
// canvas left as it was.
//
// Each strip is converted on its own, between two frames that are views of the strip alone in
// the frame and in the canvas, as filterhost --video converts a copy of it. The converter's own
// rectangles would not do: given a destination rectangle it rewrites the destination's rows from
// their first column, and given a source rectangle it filters the chroma at the strip's edges
// with the samples beyond it. A strip of one field's rows is a view of every second row, so that
// its colours are never blended with the other field's.
#pragma once

#include <gst/video/video.h>

#include <vector>

#include "canvas.h"
#include "strips.h"

namespace kantora::gstreamer {

class StripConverter {
public:
    enum class Direction { ToCanvas, FromCanvas };

    StripConverter() = default;
    StripConverter(const StripConverter &) = delete;
    StripConverter &operator=(const StripConverter &) = delete;
    ~StripConverter() { Clear(); }

    // Converters for frames of `info` and `strips` (strips.h), into or out of a canvas of the
    // frame's size; with `alpha` the canvas holds the frame's alpha in bits 24-31. False when
    // GStreamer makes no converter for them.
    bool Prepare(const GstVideoInfo &info, Direction direction, const std::vector<Strip> &strips,
                 bool alpha);
    void Clear();

    void ToCanvas(const GstVideoFrame &frame, BgrxCanvas &canvas) const;
    void FromCanvas(BgrxCanvas &canvas, GstVideoFrame &frame) const;

private:
    struct Piece {
        Strip strip;
        GstVideoInfo from, to;  // the strip alone, in the two formats
        GstVideoConverter *converter = nullptr;
    };

    // The piece of `from` into the same place of `to`.
    void Convert(const Piece &piece, const GstVideoFrame &from, const GstVideoFrame &to) const;

    GstVideoInfo canvas_;  // the canvas as a frame
    std::vector<Piece> pieces_;
};

}  // namespace kantora::gstreamer
