#include "alpha_repair.h"

#include <algorithm>

#include "border_repair.h"
#include "reach.h"

namespace kantora {

namespace {

constexpr uint32_t kAlpha = 0xFF000000u;

uint32_t *MemoryRow(uint32_t *pixels, ptrdiff_t pitch, int32_t y) {
    return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(pixels) + y * pitch);
}

// visit(row, first, end) for the runs of each memory row that lie within `d` of an edge (memory
// row 0 is the picture's bottom row); outside them the repair changes nothing.
template <class Visit>
void VisitChanged(int32_t width, int32_t height, const EdgeDepths &d, Visit visit) {
    for (int32_t y = 0; y < height; ++y) {
        const int32_t fromTop = height - 1 - y;
        if (fromTop < d.top || fromTop >= height - d.bottom) {
            visit(y, 0, width);
            continue;
        }
        const int32_t leftEnd = std::min(d.left, width);
        const int32_t rightStart = std::max(leftEnd, width - d.right);
        visit(y, 0, leftEnd);
        visit(y, rightStart, width);
    }
}

}  // namespace

void RepairKeepingAlpha(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                        int32_t width, int32_t height, const BorderSettings &settings) {
    if (width <= 0 || height <= 0)
        return;
    // The copy carries every pixel's alpha; only the bands' pixels need theirs back.
    ProcessFrame(src, srcPitch, dst, dstPitch, width, height, settings);
    uint32_t *from = const_cast<uint32_t *>(src);
    VisitChanged(width, height, ReachOf(settings, width, height).changes,
                 [&](int32_t y, int32_t first, int32_t end) {
                     const uint32_t *in = MemoryRow(from, srcPitch, y);
                     uint32_t *out = MemoryRow(dst, dstPitch, y);
                     for (int32_t x = first; x < end; ++x)
                         out[x] = (out[x] & ~kAlpha) | (in[x] & kAlpha);
                 });
}

void RepairInPlaceKeepingAlpha(uint32_t *pixels, ptrdiff_t pitch, int32_t width, int32_t height,
                               const BorderSettings &settings, std::vector<uint8_t> &saved) {
    if (width <= 0 || height <= 0)
        return;
    const EdgeDepths changes = ReachOf(settings, width, height).changes;
    size_t count = 0;
    VisitChanged(width, height, changes,
                 [&](int32_t, int32_t first, int32_t end) { count += size_t(end - first); });
    if (saved.size() < count)
        saved.resize(count);
    uint8_t *next = saved.data();
    VisitChanged(width, height, changes, [&](int32_t y, int32_t first, int32_t end) {
        const uint32_t *row = MemoryRow(pixels, pitch, y);
        for (int32_t x = first; x < end; ++x)
            *next++ = uint8_t(row[x] >> 24);
    });
    ProcessFrame(pixels, pitch, pixels, pitch, width, height, settings);
    next = saved.data();
    VisitChanged(width, height, changes, [&](int32_t y, int32_t first, int32_t end) {
        uint32_t *row = MemoryRow(pixels, pitch, y);
        for (int32_t x = first; x < end; ++x)
            row[x] = (row[x] & ~kAlpha) | uint32_t{*next++} << 24;
    });
}

}  // namespace kantora
