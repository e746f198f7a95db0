// filterhost/reach: which lines at the picture's edges the border filter can change, read from
// its own script text, so that a host can leave the rest of a picture as it came.
#pragma once

#include <cstdint>
#include <string_view>

// Lines counted from each picture edge inward.
struct EdgeDepths {
    int32_t top = 0, bottom = 0, left = 0, right = 0;

    bool operator==(const EdgeDepths &o) const {
        return top == o.top && bottom == o.bottom && left == o.left && right == o.right;
    }
};

// What one frame of the filter may touch. Outside `changes` every output pixel is the input's;
// the pixels inside `changes` depend only on input pixels inside `reads`.
struct FilterReach {
    bool wholeFrame = true;  // nothing known: any pixel may change and depend on any other
    EdgeDepths changes;
    EdgeDepths reads;

    bool ChangesNothing() const { return !wholeFrame && changes == EdgeDepths{}; }
};

// The name under which the border filter registers, whose settings this knows.
constexpr std::string_view kBorderFilterName = "Kantora - 2.31";

// The reach of the filter `filterName` set up by `scriptText`, the call the filter itself writes
// for its settings: for the border filter one Config call with sixteen integers (top, bottom,
// right, left; each smear, black, fade, stretch). Any other filter or text, and values beyond
// the dialog's range of 0 to 255, mean the whole frame.
FilterReach ReachOfFilter(std::string_view filterName, std::string_view scriptText);
