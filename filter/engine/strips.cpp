#include "strips.h"

#include <algorithm>

namespace kantora {

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

bool SplitsFields(const PictureLayout &layout) {
    return layout.interlaced && layout.chromaDown > 1 &&
           layout.height % (2 * layout.chromaDown) == 0;
}

std::vector<Strip> EdgeStrips(const PictureLayout &layout, const EdgeDepths &depths) {
    std::vector<Strip> strips;
    const int32_t width = layout.width, height = layout.height;
    if (width <= 0 || height <= 0)
        return strips;
    const bool fields = SplitsFields(layout);
    // A split picture's strips hold whole chroma rows of both fields.
    const int32_t across = std::max(layout.chromaAcross, 1);
    const int32_t down = std::max(layout.chromaDown, 1) * (fields ? 2 : 1);
    const int32_t topEnd = NearEnd(depths.top, height, down);
    const int32_t bottomStart = FarStart(depths.bottom, height, down, topEnd);
    const int32_t leftEnd = NearEnd(depths.left, width, across);
    const int32_t rightStart = FarStart(depths.right, width, across, leftEnd);
    const int32_t middle = bottomStart - topEnd;
    const Strip rectangles[] = {
        {0, 0, width, topEnd},
        {0, bottomStart, width, height - bottomStart},
        {0, topEnd, leftEnd, middle},
        {rightStart, topEnd, width - rightStart, middle},
    };
    for (const Strip &r : rectangles) {
        if (r.width <= 0 || r.rows <= 0)
            continue;
        if (!fields) {
            strips.push_back(r);
            continue;
        }
        // The rectangle starts and ends on whole chroma rows of both fields: an even number of
        // rows from an even row.
        strips.push_back({r.x, r.y, r.width, r.rows / 2, 2});
        strips.push_back({r.x, r.y + 1, r.width, r.rows / 2, 2});
    }
    return strips;
}

StripPlan PlanStrips(const PictureLayout &layout, const BorderReach &reach) {
    return {EdgeStrips(layout, reach.reads), EdgeStrips(layout, reach.changes)};
}

}  // namespace kantora
