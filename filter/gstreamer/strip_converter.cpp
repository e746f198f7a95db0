#include "strip_converter.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "picture_formats.h"

namespace kantora::gstreamer {

namespace {

// `info`'s format and colours at another size, progressive, as every view is.
GstVideoInfo Resized(const GstVideoInfo &info, int32_t width, int32_t height) {
    GstVideoInfo resized;
    gst_video_info_set_format(&resized, GST_VIDEO_INFO_FORMAT(&info), width, height);
    resized.colorimetry = info.colorimetry;
    resized.chroma_site = info.chroma_site;
    return resized;
}

// The first component that plane `plane` holds.
int FirstComponent(const GstVideoFormatInfo *format, int plane) {
    gint components[GST_VIDEO_MAX_COMPONENTS];
    gst_video_format_info_component(format, plane, components);
    return components[0];
}

// The memory row of `plane` that holds picture row `y`. Rows `rowStep` apart are one field's,
// and where a plane's rows are shared, each field has its own, in turn.
ptrdiff_t PlaneRow(const GstVideoFormatInfo *format, int plane, int32_t y, int32_t rowStep) {
    const int shift = GST_VIDEO_FORMAT_INFO_H_SUB(format, FirstComponent(format, plane));
    if (rowStep == 1)
        return y >> shift;
    const int32_t field = y % 2;
    return ((y - field) >> shift) + field;
}

// Where picture column `x`, on the grid of samples no strip splits, starts in a row of `plane`.
ptrdiff_t PlaneColumnBytes(const GstVideoFormatInfo *format, int plane, int32_t x) {
    if (GST_VIDEO_FORMAT_INFO_FORMAT(format) == GST_VIDEO_FORMAT_v210)
        return ptrdiff_t{x} / 6 * 16;
    const int component = FirstComponent(format, plane);
    return ptrdiff_t{x >> GST_VIDEO_FORMAT_INFO_W_SUB(format, component)} *
           GST_VIDEO_FORMAT_INFO_PSTRIDE(format, component);
}

// The bytes of a row of `plane` that `width` pixels from a column on the grid take, a shared
// sample (of 4:2:2 packed in words, of v210's blocks) whole.
ptrdiff_t PlaneRowBytes(const GstVideoFormatInfo *format, int plane, int32_t width) {
    if (GST_VIDEO_FORMAT_INFO_FORMAT(format) == GST_VIDEO_FORMAT_v210)
        return ptrdiff_t{(width + 5) / 6} * 16;
    ptrdiff_t bytes = 0;
    for (guint c = 0; c < GST_VIDEO_FORMAT_INFO_N_COMPONENTS(format); ++c) {
        if (GST_VIDEO_FORMAT_INFO_PLANE(format, c) == static_cast<guint>(plane))
            bytes = std::max<ptrdiff_t>(
                bytes, ptrdiff_t{GST_VIDEO_FORMAT_INFO_SCALE_WIDTH(format, c, width)} *
                           GST_VIDEO_FORMAT_INFO_PSTRIDE(format, c));
    }
    return bytes;
}

// A frame of `info`'s size over `frame`'s samples from column x of row y, each rowStep-th row.
GstVideoFrame View(const GstVideoFrame &frame, const GstVideoInfo &info, int32_t x, int32_t y,
                   int32_t rowStep) {
    GstVideoFrame view = frame;
    view.info = info;
    view.flags = GST_VIDEO_FRAME_FLAG_NONE;
    const GstVideoFormatInfo *format = frame.info.finfo;
    for (guint p = 0; p < GST_VIDEO_INFO_N_PLANES(&info); ++p) {
        const gint stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, p);
        view.info.stride[p] = stride * rowStep;
        view.data[p] = static_cast<guint8 *>(frame.data[p]) +
                       PlaneRow(format, p, y, rowStep) * stride + PlaneColumnBytes(format, p, x);
    }
    return view;
}

// The canvas's pixels of `strip` to column x of the sheet's first rows, each row after `margin`
// copies of its first pixel; where rows share chroma by `down`, a last row alone is followed by
// its copy, as the converter takes a picture's last row.
void CopyPixelsToSheet(const BgrxCanvas &canvas, const Strip &strip, const GstVideoFrame &sheet,
                       int32_t x, int32_t margin, int32_t down) {
    const int32_t rows = (strip.rows + down - 1) / down * down;
    const ptrdiff_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&sheet, 0);
    auto *onSheet = static_cast<guint8 *>(sheet.data[0]) + ptrdiff_t{x - margin} * 4;
    for (int32_t r = 0; r < rows; ++r, onSheet += stride) {
        const int32_t y = strip.y + std::min(r, strip.rows - 1) * strip.rowStep;
        const auto *row = reinterpret_cast<const uint32_t *>(canvas.Row(y)) + strip.x;
        auto *out = reinterpret_cast<uint32_t *>(onSheet);
        std::fill_n(out, margin, row[0]);
        std::memcpy(out + margin, row, size_t(strip.width) * 4);
    }
}

// The sheet's pixels from column x of its first rows into `strip` of the canvas.
void CopyPixelsFromSheet(const GstVideoFrame &sheet, int32_t x, const Strip &strip,
                         BgrxCanvas &canvas) {
    const ptrdiff_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&sheet, 0);
    const auto *onSheet = static_cast<const guint8 *>(sheet.data[0]) + ptrdiff_t{x} * 4;
    for (int32_t r = 0; r < strip.rows; ++r, onSheet += stride)
        std::memcpy(canvas.Row(strip.y + r * strip.rowStep) + ptrdiff_t{strip.x} * 4, onSheet,
                    size_t(strip.width) * 4);
}

GstVideoFrame CanvasFrame(const GstVideoInfo &info, BgrxCanvas &canvas) {
    GstVideoFrame frame{};
    frame.info = info;
    frame.info.stride[0] = static_cast<gint>(canvas.Pitch());
    frame.data[0] = canvas.Row(0);
    return frame;
}

GstVideoFrame SheetFrame(const GstVideoInfo &info, std::vector<uint8_t> &memory) {
    GstVideoFrame frame{};
    frame.info = info;
    for (guint p = 0; p < GST_VIDEO_INFO_N_PLANES(&info); ++p)
        frame.data[p] = memory.data() + info.offset[p];
    return frame;
}

GstVideoConverter *NewConverter(const GstVideoInfo &from, const GstVideoInfo &to,
                                StripConverter::Direction direction) {
    // Colours as they are: no dithering (every frame alike), no change of transfer or
    // primaries, only the matrix between YUV and RGB. Towards the canvas no chroma is
    // interpolated, as GStreamer's fast paths and filterhost do not; back, it is filtered
    // down as usual.
    const GstVideoChromaMode chroma = direction == StripConverter::Direction::ToCanvas
                                          ? GST_VIDEO_CHROMA_MODE_NONE
                                          : GST_VIDEO_CHROMA_MODE_FULL;
    GstStructure *options = gst_structure_new(
        "options", GST_VIDEO_CONVERTER_OPT_DITHER_METHOD, GST_TYPE_VIDEO_DITHER_METHOD,
        GST_VIDEO_DITHER_NONE, GST_VIDEO_CONVERTER_OPT_GAMMA_MODE, GST_TYPE_VIDEO_GAMMA_MODE,
        GST_VIDEO_GAMMA_MODE_NONE, GST_VIDEO_CONVERTER_OPT_PRIMARIES_MODE,
        GST_TYPE_VIDEO_PRIMARIES_MODE, GST_VIDEO_PRIMARIES_MODE_NONE,
        GST_VIDEO_CONVERTER_OPT_CHROMA_MODE, GST_TYPE_VIDEO_CHROMA_MODE, chroma,
        GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT, 1u, nullptr);
    // Takes the options, also when it makes no converter.
    return gst_video_converter_new(&from, &to, options);
}

}  // namespace

bool StripConverter::Prepare(const GstVideoInfo &info, Direction direction,
                             const std::vector<Strip> &strips, bool alpha) try {
    Clear();
    direction_ = direction;
    gst_video_info_set_format(&canvas_, alpha ? GST_VIDEO_FORMAT_BGRA : GST_VIDEO_FORMAT_BGRx,
                              GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
    const GstVideoInfo &from = direction == Direction::ToCanvas ? info : canvas_;
    const GstVideoInfo &to = direction == Direction::ToCanvas ? canvas_ : info;
    const PictureLayout grid = LayoutOf(info, false);
    std::vector<Strip> narrow;
    for (const Strip &strip : strips) {
        if (strip.width <= 0 || strip.rows <= 0)
            continue;
        // A strip that ends off the grid of chroma samples (at the right edge of a frame whose
        // width is off it) is converted alone, which leaves the samples beyond the picture that
        // share its last word or block as they are.
        if (strip.width < GST_VIDEO_INFO_WIDTH(&info) && strip.width % grid.chromaAcross == 0) {
            narrow.push_back(strip);
            continue;
        }
        Piece piece;
        piece.strip = strip;
        piece.from = Resized(from, strip.width, strip.rows);
        piece.to = Resized(to, strip.width, strip.rows);
        piece.converter = NewConverter(piece.from, piece.to, direction);
        if (piece.converter == nullptr) {
            Clear();
            return false;
        }
        pieces_.push_back(piece);
    }
    if (!PrepareSheet(info, narrow)) {
        Clear();
        return false;
    }
    return true;
} catch (const std::bad_alloc &) {
    Clear();
    return false;
}

bool StripConverter::PrepareSheet(const GstVideoInfo &info, const std::vector<Strip> &strips) {
    const PictureLayout grid = LayoutOf(info, false);  // the strips lie on its columns
    sheet_.down = grid.chromaDown;
    // Only the filter back into the frame reads a neighbour, and only across.
    sheet_.margin =
        direction_ == Direction::FromCanvas && grid.chromaAcross > 1 ? grid.chromaAcross : 0;
    sheet_.layout = LayOutSheet(strips, sheet_.down, sheet_.margin, GST_VIDEO_INFO_WIDTH(&info));
    if (sheet_.layout.slabs.empty())
        return true;
    sheet_.frameInfo = Resized(info, sheet_.layout.width, sheet_.layout.height);
    sheet_.canvasInfo = Resized(canvas_, sheet_.layout.width, sheet_.layout.height);
    // Zeroed once: the sheet's unused corners are converted too.
    sheet_.frameMemory.assign(GST_VIDEO_INFO_SIZE(&sheet_.frameInfo), 0);
    sheet_.canvasMemory.assign(GST_VIDEO_INFO_SIZE(&sheet_.canvasInfo), 0);
    const GstVideoFormatInfo *format = info.finfo;
    for (const Slab &slab : sheet_.layout.slabs) {
        const Strip &s = slab.piece;
        for (guint p = 0; p < GST_VIDEO_INFO_N_PLANES(&info); ++p) {
            PlaneRun run;
            run.plane = p;
            run.frameRow = PlaneRow(format, p, s.y, s.rowStep);
            run.frameColumn = PlaneColumnBytes(format, p, s.x);
            run.rowStep = s.rowStep;
            run.rows =
                GST_VIDEO_FORMAT_INFO_SCALE_HEIGHT(format, FirstComponent(format, p), s.rows);
            run.bytes = PlaneRowBytes(format, p, s.width);
            run.onSheet = PlaneColumnBytes(format, p, slab.x);
            sheet_.runs.push_back(run);
        }
    }
    sheet_.converter = direction_ == Direction::ToCanvas
                           ? NewConverter(sheet_.frameInfo, sheet_.canvasInfo, direction_)
                           : NewConverter(sheet_.canvasInfo, sheet_.frameInfo, direction_);
    return sheet_.converter != nullptr;
}

void StripConverter::Clear() {
    for (Piece &piece : pieces_)
        gst_video_converter_free(piece.converter);
    pieces_.clear();
    if (sheet_.converter != nullptr)
        gst_video_converter_free(sheet_.converter);
    sheet_ = Sheet{};
}

void StripConverter::ToCanvas(const GstVideoFrame &frame, BgrxCanvas &canvas) {
    const GstVideoFrame whole = CanvasFrame(canvas_, canvas);
    for (const Piece &piece : pieces_)
        Convert(piece, frame, whole);
    if (sheet_.converter == nullptr)
        return;
    GstVideoFrame inFormat = SheetFrame(sheet_.frameInfo, sheet_.frameMemory);
    GstVideoFrame inPixels = SheetFrame(sheet_.canvasInfo, sheet_.canvasMemory);
    CopyRuns(frame, inFormat, true);
    gst_video_converter_frame(sheet_.converter, &inFormat, &inPixels);
    for (const Slab &slab : sheet_.layout.slabs)
        CopyPixelsFromSheet(inPixels, slab.x, slab.piece, canvas);
}

void StripConverter::FromCanvas(BgrxCanvas &canvas, GstVideoFrame &frame) {
    const GstVideoFrame whole = CanvasFrame(canvas_, canvas);
    for (const Piece &piece : pieces_)
        Convert(piece, whole, frame);
    if (sheet_.converter == nullptr)
        return;
    GstVideoFrame inFormat = SheetFrame(sheet_.frameInfo, sheet_.frameMemory);
    GstVideoFrame inPixels = SheetFrame(sheet_.canvasInfo, sheet_.canvasMemory);
    for (const Slab &slab : sheet_.layout.slabs)
        CopyPixelsToSheet(canvas, slab.piece, inPixels, slab.x, sheet_.margin, sheet_.down);
    gst_video_converter_frame(sheet_.converter, &inPixels, &inFormat);
    CopyRuns(frame, inFormat, false);
}

void StripConverter::CopyRuns(const GstVideoFrame &frame, const GstVideoFrame &sheet,
                              bool ontoSheet) const {
    for (const PlaneRun &run : sheet_.runs) {
        const ptrdiff_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, run.plane);
        const ptrdiff_t frameStep = stride * run.rowStep;
        const ptrdiff_t sheetStep = GST_VIDEO_FRAME_PLANE_STRIDE(&sheet, run.plane);
        guint8 *inFrame =
            static_cast<guint8 *>(frame.data[run.plane]) + run.frameRow * stride + run.frameColumn;
        guint8 *onSheet = static_cast<guint8 *>(sheet.data[run.plane]) + run.onSheet;
        for (int32_t r = 0; r < run.rows; ++r, inFrame += frameStep, onSheet += sheetStep) {
            if (ontoSheet)
                std::memcpy(onSheet, inFrame, run.bytes);
            else
                std::memcpy(inFrame, onSheet, run.bytes);
        }
    }
}

void StripConverter::Convert(const Piece &piece, const GstVideoFrame &from,
                             const GstVideoFrame &to) const {
    const Strip &s = piece.strip;
    const GstVideoFrame source = View(from, piece.from, s.x, s.y, s.rowStep);
    GstVideoFrame target = View(to, piece.to, s.x, s.y, s.rowStep);
    gst_video_converter_frame(piece.converter, &source, &target);
}

}  // namespace kantora::gstreamer
