// A frame before and after a filter, side by side on one picture, with the lines the filter
// changes ticked in the margin beside the before half.
#pragma once

#include <cstdint>

#include "host_bitmap.h"

namespace filterhost {

// Lines counted from each picture edge inward that are ticked.
struct TickedLines {
    int32_t top = 0, bottom = 0, left = 0, right = 0;
};

// Margin around and between the halves, in pixels: room for the ticks.
constexpr int32_t kPreviewMargin = 16;
// A dark grey margin that neither black bands nor bright picture blend into, and ticks of a
// bright yellow that stands out against it.
constexpr uint32_t kPreviewMarginColour = 0x404040;
constexpr uint32_t kPreviewTickColour = 0xFFD000;

// `before` at the left and `after` (of the same size) at the right, `kPreviewMargin` pixels
// apart and from the picture's edges. Each changed row has a one-pixel tick in the left
// margin, level with it; each changed column one in the top margin above it, over the before
// half only. Depths beyond the frame are cut to it.
HostBitmap SideBySide(const HostBitmap &before, const HostBitmap &after, const TickedLines &ticked);

}  // namespace filterhost
