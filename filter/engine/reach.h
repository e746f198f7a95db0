// How far into a frame the border filter reaches, from its settings alone, so that a host can
// convert and repair only the strips at the picture's edges and keep the rest as it came.
#pragma once

#include <cstdint>

#include "border_settings.h"

namespace kantora {

// Lines counted from each picture edge inward.
struct EdgeDepths {
    int32_t top = 0, bottom = 0, left = 0, right = 0;

    bool operator==(const EdgeDepths &o) const {
        return top == o.top && bottom == o.bottom && left == o.left && right == o.right;
    }
};

// What one frame of the filter touches, for settings of any 32-bit value, each depth at most
// the frame's extent across that edge:
// - changes: the deepest line from each edge that the edge's bands change: painted, faded, or
//   smeared from another line (a line smeared from itself and not faded keeps its value). Every
//   output pixel outside these depths is the input pixel; on a random picture the line at each
//   depth does change.
// - reads: the changed pixels depend only on input pixels within these depths; what lies beyond
//   them may be anything. Each is at least the edge's `changes`, so a frame that holds the input
//   only within `reads` comes out right within `changes`, changed pixels and unchanged ones.
struct BorderReach {
    EdgeDepths changes;
    EdgeDepths reads;

    bool ChangesNothing() const { return changes == EdgeDepths{}; }
};

// Derived from the band rules the sweeps follow (band_plan.h). A frame without rows or
// columns is reached nowhere.
BorderReach ReachOf(const BorderSettings &settings, int32_t width, int32_t height);

}  // namespace kantora
