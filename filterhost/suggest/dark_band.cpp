#include "dark_band.h"

#include <algorithm>

// The band is there when most rows start with a dark run that ends in a clear step up to
// brighter picture. Picture that is dark at the edge rarely ends in such a step in most rows,
// and dark picture beside the band makes a row unclear rather than wider. The width is taken
// from the widths that rows show often enough to be the band's own, joined without gaps: a
// row where dark picture continued the band and then stepped up lies apart from them.
//
// A band of one width in every row and frame is a straight edge already (letterboxing or
// pillarboxing, or a capture's blanking): that is picture as it was made, and is left alone.

namespace suggest {

namespace {

constexpr double kShareOfRows = 0.5;
// Widths shown by fewer rows than this share of the band's rows are strays.
constexpr double kStrayShare = 0.002;
// The narrowest width ignores this share of the narrowest rows.
constexpr double kNarrowTail = 0.01;
// Widths that differ by this much or more make an uneven band...
constexpr int32_t kUnevenSpread = 2;
// ...unless this share of the rows show one width: a straight band, the rest strays where
// picture as dark as the band continued it.
constexpr double kStraightShare = 0.85;

}  // namespace

DarkBand FindDarkBand(const DarkRuns &runs) {
    DarkBand band;
    int64_t dark = 0;
    for (size_t w = 1; w < runs.widths.size(); ++w)
        dark += runs.widths[w];
    if (runs.rows == 0 || double(dark) < kShareOfRows * double(runs.rows))
        return band;
    const double stray = std::max(1.0, kStrayShare * double(dark));
    int64_t seen = 0;
    int32_t narrowest = 0;
    for (size_t w = 1; w < runs.widths.size(); ++w) {
        seen += runs.widths[w];
        if (double(seen) > kNarrowTail * double(dark)) {
            narrowest = int32_t(w);
            break;
        }
    }
    // The widest width joined to the narrowest through widths that rows show, one missing
    // width allowed between them.
    int32_t widest = narrowest;
    for (size_t w = size_t(narrowest) + 1; w < runs.widths.size(); ++w) {
        if (double(runs.widths[w]) >= stray)
            widest = int32_t(w);
        else if (int32_t(w) - widest > 1)
            break;
    }
    band.found = true;
    band.narrowest = narrowest;
    band.widest = widest;
    const int64_t commonest = *std::max_element(runs.widths.begin() + 1, runs.widths.end());
    band.uneven = widest - narrowest >= kUnevenSpread &&
                  double(commonest) < kStraightShare * double(dark);
    band.share = double(dark) / double(runs.rows);
    return band;
}

}  // namespace suggest
