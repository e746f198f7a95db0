#include "band_strips.h"

#include <algorithm>

namespace {

// How far the band reaches into [0, extent) from its near end, rounded up to the grid.
int32_t NearEnd(int32_t depth, int32_t extent, int32_t step) {
    const int64_t rounded = (int64_t{std::max(depth, 0)} + step - 1) / step * step;
    return static_cast<int32_t>(std::min<int64_t>(rounded, extent));
}

// Where the band from the far end of [0, extent) starts, rounded down to the grid; `extent`
// for none. It never starts before `floor`.
int32_t FarStart(int32_t depth, int32_t extent, int32_t step, int32_t floor) {
    if (depth <= 0)
        return extent;
    const int64_t start = std::max<int64_t>(int64_t{extent} - depth, 0) / step * step;
    return static_cast<int32_t>(std::max<int64_t>(start, floor));
}

}  // namespace

std::vector<Strip> BandStrips(int32_t width, int32_t height, const EdgeDepths &depths,
                              SampleGrid grid) {
    std::vector<Strip> strips;
    if (width <= 0 || height <= 0)
        return strips;
    const int32_t topEnd = NearEnd(depths.top, height, grid.down);
    const int32_t bottomStart = FarStart(depths.bottom, height, grid.down, topEnd);
    const int32_t leftEnd = NearEnd(depths.left, width, grid.across);
    const int32_t rightStart = FarStart(depths.right, width, grid.across, leftEnd);
    const int32_t middle = bottomStart - topEnd;
    const Strip candidates[] = {
        {0, 0, width, topEnd},
        {0, bottomStart, width, height - bottomStart},
        {0, topEnd, leftEnd, middle},
        {rightStart, topEnd, width - rightStart, middle},
    };
    for (const Strip &strip : candidates)
        if (strip.width > 0 && strip.height > 0)
            strips.push_back(strip);
    return strips;
}
