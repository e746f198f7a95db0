// Converts the strips at a frame's edges between the frame's own pixel format and the plug-in's
// 32-bit pixels, leaving every other sample of the frame alone.
#pragma once

#include <memory>
#include <vector>

#include "host_bitmap.h"
#include "strips.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

struct SwsContext;

namespace filterhost {

class StripConverter {
public:
    enum class Direction { ToHost, FromHost };

    // Frames of `format` (checked by CheckStripFormat), the strips planned for its layout
    // (strips.h). A strip of one field's rows is converted on its own, so that its colours are
    // never blended with the other field's.
    StripConverter(AVPixelFormat format, Direction direction,
                   const std::vector<kantora::Strip> &strips);
    StripConverter(const StripConverter &) = delete;
    StripConverter &operator=(const StripConverter &) = delete;
    ~StripConverter();

    // The strips of `frame` into the same places of `bitmap`; what lies elsewhere in the
    // bitmap is left as it was.
    void ToHost(const AVFrame &frame, HostBitmap &bitmap);
    // The strips of `bitmap` into the same places of `frame`, whose other samples stay.
    void FromHost(const HostBitmap &bitmap, AVFrame &frame);

private:
    struct Piece;
    void UseColours(const AVFrame &frame);

    AVPixelFormat colours_;  // the frame's colour planes, which are all that is converted
    Direction direction_;
    std::vector<std::unique_ptr<Piece>> pieces_;
    int colorspace_ = -1, range_ = -1;  // what the converters' matrices are set for
};

}  // namespace filterhost
