// Black or dark grey columns at a side edge, from the dark runs measured row by row and the
// profiles measured column by column (DarkRuns in edge_survey.h).
#pragma once

#include <cstdint>

#include "edge_survey.h"

namespace suggest {

struct DarkBand {
    bool found = false;                 // a dark band at the edge in most rows
    bool uneven = false;                // its width changes from row to row or frame to frame
    int32_t narrowest = 0, widest = 0;  // in lines (columns), over the rows that show it
    double share = 0.0;                 // how clearly the rows show it, 0 to 1
};

// `deepest`: the widest band that can be damage rather than picture; `widestSpread`: the
// most its widths can differ; `stillPictures`: 0 when the frames move, else how many frames
// alike the runs were counted over, judged as one of them would be (the pixels' change shows
// nothing, and the rows are counted per picture).
DarkBand FindDarkBand(const DarkRuns &runs, int32_t deepest, int32_t widestSpread,
                      int32_t stillPictures);

}  // namespace suggest
