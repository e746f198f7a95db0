#include "strip_converter.h"

#include <cstddef>

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

GstVideoFrame CanvasFrame(const GstVideoInfo &info, BgrxCanvas &canvas) {
    GstVideoFrame frame{};
    frame.info = info;
    frame.info.stride[0] = static_cast<gint>(canvas.Pitch());
    frame.data[0] = canvas.Row(0);
    return frame;
}

}  // namespace

bool StripConverter::Prepare(const GstVideoInfo &info, Direction direction,
                             const std::vector<Strip> &strips, bool alpha) {
    Clear();
    gst_video_info_set_format(&canvas_, alpha ? GST_VIDEO_FORMAT_BGRA : GST_VIDEO_FORMAT_BGRx,
                              GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
    const GstVideoInfo &from = direction == Direction::ToCanvas ? info : canvas_;
    const GstVideoInfo &to = direction == Direction::ToCanvas ? canvas_ : info;
    for (const Strip &strip : strips) {
        if (strip.width <= 0 || strip.rows <= 0)
            continue;
        Piece piece;
        piece.strip = strip;
        piece.from = Resized(from, strip.width, strip.rows);
        piece.to = Resized(to, strip.width, strip.rows);
        // Colours as they are: no dithering (every frame alike), no change of transfer or
        // primaries, only the matrix between YUV and RGB.
        GstStructure *options = gst_structure_new(
            "options", GST_VIDEO_CONVERTER_OPT_DITHER_METHOD, GST_TYPE_VIDEO_DITHER_METHOD,
            GST_VIDEO_DITHER_NONE, GST_VIDEO_CONVERTER_OPT_GAMMA_MODE, GST_TYPE_VIDEO_GAMMA_MODE,
            GST_VIDEO_GAMMA_MODE_NONE, GST_VIDEO_CONVERTER_OPT_PRIMARIES_MODE,
            GST_TYPE_VIDEO_PRIMARIES_MODE, GST_VIDEO_PRIMARIES_MODE_NONE,
            GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT, 1u, nullptr);
        piece.converter = gst_video_converter_new(&piece.from, &piece.to, options);
        if (piece.converter == nullptr) {
            Clear();
            return false;
        }
        pieces_.push_back(piece);
    }
    return true;
}

void StripConverter::Clear() {
    for (Piece &piece : pieces_)
        gst_video_converter_free(piece.converter);
    pieces_.clear();
}

void StripConverter::ToCanvas(const GstVideoFrame &frame, BgrxCanvas &canvas) const {
    const GstVideoFrame whole = CanvasFrame(canvas_, canvas);
    for (const Piece &piece : pieces_)
        Convert(piece, frame, whole);
}

void StripConverter::FromCanvas(BgrxCanvas &canvas, GstVideoFrame &frame) const {
    const GstVideoFrame whole = CanvasFrame(canvas_, canvas);
    for (const Piece &piece : pieces_)
        Convert(piece, whole, frame);
}

void StripConverter::Convert(const Piece &piece, const GstVideoFrame &from,
                             const GstVideoFrame &to) const {
    const Strip &s = piece.strip;
    const GstVideoFrame source = View(from, piece.from, s.x, s.y, s.rowStep);
    GstVideoFrame target = View(to, piece.to, s.x, s.y, s.rowStep);
    gst_video_converter_frame(piece.converter, &source, &target);
}

}  // namespace kantora::gstreamer
