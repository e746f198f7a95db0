// The rectangles at a picture's edges that a host converts to the filter's 32-bit pixels and
// back: the strips the repair reads, converted in, and the strips it changes, converted back.
// They lie on the picture's own grid of colour samples, so that no chroma sample is shared
// between a strip and the rest of the picture, and where the two fields of an interlaced picture
// share chroma between rows, each strip comes as one strip per field, so that a host converts
// each field on its own and never blends one field's colours into the other's.
#pragma once

#include <cstdint>
#include <vector>

#include "reach.h"

namespace kantora {

// A picture as a host holds it: its size, how many columns and rows share one chroma sample
// (2 and 2 for 4:2:0, 2 and 1 for 4:2:2, 1 and 1 for RGB and 4:4:4), and whether its two fields
// were taken apart in time.
struct PictureLayout {
    int32_t width = 0, height = 0;
    int32_t chromaAcross = 1, chromaDown = 1;
    bool interlaced = false;
};

// `rows` picture rows from row y (counted from the top), `rowStep` apart (2: one field's rows),
// each from column x, `width` columns wide.
struct Strip {
    int32_t x = 0, y = 0, width = 0, rows = 0;
    int32_t rowStep = 1;

    bool operator==(const Strip &o) const {
        return x == o.x && y == o.y && width == o.width && rows == o.rows && rowStep == o.rowStep;
    }
};

// Whether the layout's fields are converted apart: interlaced, its rows sharing chroma, and
// holding whole chroma rows of both fields.
bool SplitsFields(const PictureLayout &layout);

// At most four rectangles that do not overlap (top and bottom over the whole width, left and
// right between them) covering `depths` lines from each edge, each depth rounded away from its
// edge to whole chroma samples, of both fields where the fields are split; there each rectangle
// comes as its two fields' strips, the top field's first. Depths beyond the picture are
// clamped; empty strips are left out.
std::vector<Strip> EdgeStrips(const PictureLayout &layout, const EdgeDepths &depths);

struct StripPlan {
    std::vector<Strip> reads;    // converted to 32-bit pixels before the repair
    std::vector<Strip> changes;  // converted back after it; they lie within `reads`
};

StripPlan PlanStrips(const PictureLayout &layout, const BorderReach &reach);

}  // namespace kantora
