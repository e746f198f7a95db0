#include "strip_converter.h"

#include <cstring>
#include <new>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "pixel_formats.h"

namespace filterhost {

namespace {

constexpr int kScalerFlags = SWS_BICUBIC;

// An image of its own for one piece, so that the converter never reads or writes beyond the
// piece in the frame or the bitmap: swscale works on whole blocks of pixels.
struct Scratch {
    uint8_t *data[4] = {};
    int linesize[4] = {};

    Scratch(AVPixelFormat format, int width, int height) {
        // Room for the blocks beyond the width and height.
        if (av_image_alloc(data, linesize, (width + 63) / 32 * 32, height + 2, format, 64) < 0)
            throw std::bad_alloc();
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    ~Scratch() { av_freep(&data[0]); }
};

// A converter between two formats at one size; a chroma position of -513 is the default.
SwsContext *NewScaler(int width, int height, AVPixelFormat from, AVPixelFormat to,
                      int fromChromaPosition, int toChromaPosition) {
    SwsContext *scaler = sws_alloc_context();
    if (scaler == nullptr)
        throw std::bad_alloc();
    av_opt_set_int(scaler, "srcw", width, 0);
    av_opt_set_int(scaler, "srch", height, 0);
    av_opt_set_int(scaler, "src_format", from, 0);
    av_opt_set_int(scaler, "dstw", width, 0);
    av_opt_set_int(scaler, "dsth", height, 0);
    av_opt_set_int(scaler, "dst_format", to, 0);
    av_opt_set_int(scaler, "sws_flags", kScalerFlags, 0);
    av_opt_set_int(scaler, "src_v_chr_pos", fromChromaPosition, 0);
    av_opt_set_int(scaler, "dst_v_chr_pos", toChromaPosition, 0);
    if (sws_init_context(scaler, nullptr, nullptr) < 0) {
        sws_freeContext(scaler);
        throw std::bad_alloc();  // the formats were checked: only memory can be short
    }
    return scaler;
}

}  // namespace

// One strip: the frame's rows y, y + step, ... (one field's rows when the step is 2).
struct StripConverter::Piece {
    kantora::Strip strip;
    int field = 0;  // 1 for the rows of a field that starts on an odd row
    int step = 1;
    int rows = 0;  // picture rows in the piece
    Scratch frame;
    Scratch host;
    SwsContext *scaler = nullptr;

    Piece(AVPixelFormat colours, const kantora::Strip &s)
        : strip(s),
          field(s.rowStep == 2 ? s.y % 2 : 0),
          step(s.rowStep),
          rows(s.rows),
          frame(colours, s.width, s.rows),
          host(AV_PIX_FMT_RGB32, s.width, s.rows) {}
    Piece(const Piece &) = delete;
    Piece &operator=(const Piece &) = delete;
    ~Piece() { sws_freeContext(scaler); }

    // Copies the piece between the frame's planes and its own image, either way.
    void CopyPlanes(AVPixelFormat colours, uint8_t *const planes[], const int linesizes[],
                    bool intoFrame) {
        const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(colours);
        const int count = av_pix_fmt_count_planes(colours);
        for (int p = 0; p < count; ++p) {
            const int shift = (p == 1 || p == 2) ? d->log2_chroma_h : 0;
            const int offset = av_image_get_linesize(colours, strip.x, p);
            const int bytes = av_image_get_linesize(colours, strip.width, p);
            // Row r of the piece is picture row y + r * step; in a plane with shared chroma rows
            // the same pattern holds on the plane's own rows, from the field's first one.
            const int top = strip.y - field;
            const int planeFirst = (top >> shift) + field;
            const int planeRows = step == 1 ? AV_CEIL_RSHIFT(strip.y + rows, shift) - (top >> shift)
                                            : AV_CEIL_RSHIFT(rows, shift);
            for (int r = 0; r < planeRows; ++r) {
                uint8_t *inFrame =
                    planes[p] + ptrdiff_t{planeFirst + r * step} * linesizes[p] + offset;
                uint8_t *own = frame.data[p] + ptrdiff_t{r} * frame.linesize[p];
                if (intoFrame)
                    std::memcpy(inFrame, own, bytes);
                else
                    std::memcpy(own, inFrame, bytes);
            }
        }
    }

    int BitmapRow(int r) const { return strip.y + r * step; }
    uint8_t *HostRow(int r) { return host.data[0] + ptrdiff_t{r} * host.linesize[0]; }
    size_t HostRowBytes() const { return size_t(strip.width) * 4; }
};

StripConverter::StripConverter(AVPixelFormat format, Direction direction,
                               const std::vector<kantora::Strip> &strips)
    : colours_(ColourPlanesOf(format)), direction_(direction) {
    const AVPixelFormat rgb = AV_PIX_FMT_RGB32;
    for (const kantora::Strip &strip : strips) {
        if (strip.rows <= 0 || strip.width <= 0)
            continue;
        auto piece = std::make_unique<Piece>(colours_, strip);
        // A field's shared chroma row lies a quarter of the way between its two picture rows,
        // nearer the top for the first field and nearer the bottom for the second.
        const int chromaPosition = strip.rowStep == 2 ? (piece->field == 0 ? 64 : 192) : -513;
        piece->scaler =
            direction == Direction::ToHost
                ? NewScaler(strip.width, strip.rows, colours_, rgb, chromaPosition, -513)
                : NewScaler(strip.width, strip.rows, rgb, colours_, -513, chromaPosition);
        pieces_.push_back(std::move(piece));
    }
}

StripConverter::~StripConverter() = default;

void StripConverter::UseColours(const AVFrame &frame) {
    // RGB frames have no matrix; a YUV one set on their converter would tint them.
    if (IsRgb(colours_) || (frame.colorspace == colorspace_ && frame.color_range == range_))
        return;
    for (const auto &piece : pieces_)
        SetYuvMatrix(piece->scaler, frame.colorspace, frame.color_range,
                     direction_ == Direction::ToHost);
    colorspace_ = frame.colorspace;
    range_ = frame.color_range;
}

void StripConverter::ToHost(const AVFrame &frame, HostBitmap &bitmap) {
    UseColours(frame);
    for (const auto &piece : pieces_) {
        piece->CopyPlanes(colours_, frame.data, frame.linesize, false);
        sws_scale(piece->scaler, piece->frame.data, piece->frame.linesize, 0, piece->rows,
                  piece->host.data, piece->host.linesize);
        for (int r = 0; r < piece->rows; ++r)
            std::memcpy(bitmap.PictureRowBytes(piece->BitmapRow(r)) + ptrdiff_t{piece->strip.x} * 4,
                        piece->HostRow(r), piece->HostRowBytes());
    }
}

void StripConverter::FromHost(const HostBitmap &bitmap, AVFrame &frame) {
    UseColours(frame);
    for (const auto &piece : pieces_) {
        const size_t rowBytes = piece->HostRowBytes();
        for (int r = 0; r < piece->rows; ++r) {
            uint8_t *row = piece->HostRow(r);
            std::memcpy(row,
                        bitmap.PictureRowBytes(piece->BitmapRow(r)) + ptrdiff_t{piece->strip.x} * 4,
                        rowBytes);
            // Chroma shared by two columns is taken from both pixels, for an odd last column
            // also from the one beyond the strip: that is the last pixel again, not whatever
            // the scratch held (which made the picture's right edge differ from run to run).
            std::memcpy(row + rowBytes, row + rowBytes - 4, 4);
        }
        sws_scale(piece->scaler, piece->host.data, piece->host.linesize, 0, piece->rows,
                  piece->frame.data, piece->frame.linesize);
        piece->CopyPlanes(colours_, frame.data, frame.linesize, true);
    }
}

}  // namespace filterhost
