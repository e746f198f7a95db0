// The rectangles at a picture's edges that a repair converts, laid on the picture's own grid of
// colour samples so that no shared chroma sample is split between a strip and the rest.
#pragma once

#include <cstdint>
#include <vector>

#include "filter_reach.h"

struct Strip {
    int32_t x = 0, y = 0, width = 0, height = 0;

    bool operator==(const Strip &o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// The steps at which strips may start and end: across, the columns that share a chroma
// sample; down, the rows that do, doubled where the two fields of an interlaced picture keep
// their chroma apart.
struct SampleGrid {
    int32_t across = 1, down = 1;
};

// At most four strips that do not overlap (top and bottom over the whole width, left and right
// between them) covering `depths` lines from each edge, each depth rounded away from its edge
// to the grid. Depths beyond the picture are clamped; empty strips are left out.
std::vector<Strip> BandStrips(int32_t width, int32_t height, const EdgeDepths &depths,
                              SampleGrid grid);
