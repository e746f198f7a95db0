// The narrow strips at a frame's sides laid out on one sheet: cut into slabs of a few rows, side
// by side, so that GStreamer's converter works through a few long lines instead of a thousand of
// a dozen pixels, each of which costs it more than its pixels do.
#pragma once

#include <cstdint>
#include <vector>

#include "strips.h"

namespace kantora::gstreamer {

// Rows of a strip (a strip itself), placed on the sheet from its first row at column `x`.
struct Slab {
    Strip piece;
    int32_t x = 0;

    bool operator==(const Slab &o) const { return piece == o.piece && x == o.x; }
};

struct SheetLayout {
    int32_t width = 0, height = 0;
    std::vector<Slab> slabs;
};

// `strips` cut into slabs of `height` rows (the last of a strip may have fewer), a multiple of
// `down` chosen so that the sheet is about `lineWidth` wide, laid from the left in the strips'
// order with `margin` columns before each and after the last. Where the widths and the margin
// are multiples of the columns that share chroma, every slab keeps its own chroma samples.
// Empty strips are left out.
SheetLayout LayOutSheet(const std::vector<Strip> &strips, int32_t down, int32_t margin,
                        int32_t lineWidth);

}  // namespace kantora::gstreamer
