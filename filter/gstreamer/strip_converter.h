// The strips at a frame's edges converted between the frame's format and the canvas of the
// filter's 32-bit pixels by GStreamer's converter, every other sample of the frame and of the
// canvas left as it was.
//
// A strip as wide as the frame (top, bottom) is converted where it lies, between two frames that
// are views of the strip alone in the frame and in the canvas, as filterhost --video converts a
// copy of it. The converter's own rectangles would not do: given a destination rectangle it
// rewrites the destination's rows from their first column, and given a source rectangle it
// filters the chroma at the strip's edges with the samples beyond it. The narrower strips at the
// sides are copied onto a sheet (strip_sheet.h), converted there in one go, and copied back: the
// converter's cost is mostly per line, and theirs are a dozen pixels long. A strip of one
// field's rows is a view of every second row, so that its colours are never blended with the
// other field's.
//
// Towards the canvas the chroma is taken as it is, each sample for the pixels it covers (as
// GStreamer's fast paths and filterhost do); back into the frame it is filtered as GStreamer
// does, which for chroma sited on a pixel reads the pixels on either side. On the sheet each slab
// comes after copies of its first pixel, so that the filter sees there what it sees at a line's
// start and never the slab before; the last slab is followed by such columns too, so that every
// slab's last sample is filtered with the slab's own last pixel, as inside a picture (at a line's
// very end GStreamer leaves that pixel out: there alone the sheet differs from converting the
// strip on its own).
#pragma once

#include <gst/video/video.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "canvas.h"
#include "strip_sheet.h"
#include "strips.h"

namespace kantora::gstreamer {

class StripConverter {
public:
    enum class Direction { ToCanvas, FromCanvas };

    StripConverter() = default;
    StripConverter(const StripConverter &) = delete;
    StripConverter &operator=(const StripConverter &) = delete;
    ~StripConverter() { Clear(); }

    // Converters and scratch memory for frames of `info` and `strips` (strips.h), into or out of
    // a canvas of the frame's size; with `alpha` the canvas holds the frame's alpha in bits
    // 24-31. False when GStreamer makes no converter for them or the memory cannot be had.
    bool Prepare(const GstVideoInfo &info, Direction direction, const std::vector<Strip> &strips,
                 bool alpha);
    void Clear();

    void ToCanvas(const GstVideoFrame &frame, BgrxCanvas &canvas);
    void FromCanvas(BgrxCanvas &canvas, GstVideoFrame &frame);

private:
    struct Piece {
        Strip strip;
        GstVideoInfo from, to;  // the strip alone, in the two formats
        GstVideoConverter *converter = nullptr;
    };

    // One plane of one slab: where its rows lie in the frame and on the sheet.
    struct PlaneRun {
        guint plane = 0;
        ptrdiff_t frameRow = 0, frameColumn = 0;  // memory row, bytes into it
        int32_t rowStep = 1, rows = 0;
        ptrdiff_t bytes = 0;    // of each row
        ptrdiff_t onSheet = 0;  // bytes into the sheet's rows
    };

    // The narrow strips, side by side in the frame's format and in the canvas's.
    struct Sheet {
        SheetLayout layout;
        int32_t down = 1;    // rows that share chroma samples
        int32_t margin = 0;  // columns before each slab
        GstVideoInfo frameInfo, canvasInfo;
        std::vector<uint8_t> frameMemory, canvasMemory;
        std::vector<PlaneRun> runs;
        GstVideoConverter *converter = nullptr;
    };

    // The piece of `from` into the same place of `to`.
    void Convert(const Piece &piece, const GstVideoFrame &from, const GstVideoFrame &to) const;
    bool PrepareSheet(const GstVideoInfo &info, const std::vector<Strip> &strips);
    // The slabs' samples from the frame onto the sheet, or back.
    void CopyRuns(const GstVideoFrame &frame, const GstVideoFrame &sheet, bool ontoSheet) const;

    Direction direction_ = Direction::ToCanvas;
    GstVideoInfo canvas_;  // the canvas as a frame
    std::vector<Piece> pieces_;
    Sheet sheet_;
};

}  // namespace kantora::gstreamer
