// The lines near one edge of a frame as brightness values, line 1 (the edge line) first: rows
// for the top and bottom edges, columns for the left and right ones. Plain pixels in; nothing
// here knows the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "edges.h"

namespace suggest {

// A frame as 32-bit pixels, bytes B, G, R, X; `topRow` is the picture's top row and each row
// lies `pitch` bytes after the one above it (negative for a bottom-up bitmap seen top-down).
struct FrameView {
    const uint8_t *topRow = nullptr;
    ptrdiff_t pitch = 0;
    int32_t width = 0, height = 0;

    const uint8_t *Row(int32_t fromTop) const { return topRow + ptrdiff_t(fromTop) * pitch; }
};

// Lines across an edge: the frame's height for the top and bottom, its width for the sides.
int32_t ExtentOf(Edge side, int32_t width, int32_t height);
// Pixels along one line of that edge.
int32_t LengthOf(Edge side, int32_t width, int32_t height);

// BT.601 luma, 0..255, from B, G, R bytes: what tears, noise and bright lines show in.
inline uint8_t Luma(const uint8_t *bgr) {
    return static_cast<uint8_t>((bgr[2] * 77 + bgr[1] * 150 + bgr[0] * 29) >> 8);
}
// The strongest of B, G, R: black and dark grey are low in every channel, while a saturated
// blue or red, dark in luma, is not.
inline uint8_t Strongest(const uint8_t *bgr) {
    return bgr[0] > bgr[1] ? (bgr[0] > bgr[2] ? bgr[0] : bgr[2])
                           : (bgr[1] > bgr[2] ? bgr[1] : bgr[2]);
}

// Colour apart from brightness, 128 for grey: half of B - luma and of R - luma. A grey picture
// has none; noise drawn in B, G and R apart has as much as it has brightness.
inline uint8_t HalfChroma(int channel, int luma) {
    return static_cast<uint8_t>(128 + ((channel - luma) >> 1));
}

// Lines of `length` values each, Line(1) the edge line: the luma and the colour (blue and red
// chroma) of `lumaCount` lines and the strongest channel of `strongestCount` lines.
class EdgeLines {
public:
    void Read(const FrameView &frame, Edge side, int32_t lumaCount, int32_t strongestCount);
    const uint8_t *Line(int32_t n) const { return luma_.data() + size_t(n - 1) * size_t(length_); }
    const uint8_t *BlueLine(int32_t n) const {
        return blue_.data() + size_t(n - 1) * size_t(length_);
    }
    const uint8_t *RedLine(int32_t n) const {
        return red_.data() + size_t(n - 1) * size_t(length_);
    }
    const uint8_t *StrongestLine(int32_t n) const {
        return strongest_.data() + size_t(n - 1) * size_t(length_);
    }
    int32_t Length() const { return length_; }
    int32_t LumaCount() const { return lumaCount_; }
    int32_t StrongestCount() const { return strongestCount_; }

private:
    std::vector<uint8_t> luma_, blue_, red_, strongest_;
    int32_t length_ = 0, lumaCount_ = 0, strongestCount_ = 0;
};

}  // namespace suggest
