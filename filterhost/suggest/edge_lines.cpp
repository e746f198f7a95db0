#include "edge_lines.h"

#include <algorithm>

namespace suggest {

int32_t ExtentOf(Edge side, int32_t width, int32_t height) {
    return side == Top || side == Bottom ? height : width;
}

int32_t LengthOf(Edge side, int32_t width, int32_t height) {
    return side == Top || side == Bottom ? width : height;
}

void EdgeLines::Read(const FrameView &frame, Edge side, int32_t lumaCount, int32_t strongestCount) {
    length_ = LengthOf(side, frame.width, frame.height);
    lumaCount_ = lumaCount;
    strongestCount_ = strongestCount;
    const int32_t count = std::max(lumaCount, strongestCount);
    luma_.resize(size_t(length_) * size_t(lumaCount));
    blue_.resize(luma_.size());
    red_.resize(luma_.size());
    strongest_.resize(size_t(length_) * size_t(strongestCount));
    if (side == Top || side == Bottom) {
        for (int32_t n = 1; n <= count; ++n) {
            const uint8_t *row = frame.Row(side == Top ? n - 1 : frame.height - n);
            if (n <= lumaCount) {
                const size_t at = size_t(n - 1) * size_t(length_);
                uint8_t *line = luma_.data() + at, *blue = blue_.data() + at,
                        *red = red_.data() + at;
                for (int32_t x = 0; x < length_; ++x) {
                    const uint8_t *p = row + 4 * x;
                    line[x] = Luma(p);
                    blue[x] = HalfChroma(p[0], line[x]);
                    red[x] = HalfChroma(p[2], line[x]);
                }
            }
            if (n <= strongestCount) {
                uint8_t *strong = strongest_.data() + size_t(n - 1) * size_t(length_);
                for (int32_t x = 0; x < length_; ++x)
                    strong[x] = Strongest(row + 4 * x);
            }
        }
        return;
    }
    // Columns: each row gives one value to every line, so the row is read once.
    for (int32_t y = 0; y < length_; ++y) {
        const uint8_t *row = frame.Row(y);
        for (int32_t n = 1; n <= count; ++n) {
            const uint8_t *pixel = row + 4 * (side == Left ? n - 1 : frame.width - n);
            const size_t at = size_t(n - 1) * size_t(length_) + size_t(y);
            if (n <= lumaCount) {
                luma_[at] = Luma(pixel);
                blue_[at] = HalfChroma(pixel[0], luma_[at]);
                red_[at] = HalfChroma(pixel[2], luma_[at]);
            }
            if (n <= strongestCount)
                strongest_[at] = Strongest(pixel);
        }
    }
}

}  // namespace suggest
