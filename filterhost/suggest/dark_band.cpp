#include "dark_band.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Two ways to see the band, from the measurements of DarkRuns.
//
// By runs, row by row: the band is there when most rows whose run ends clearly are dark ones,
// and enough rows show it; when the widths the rows show cluster together, without gaps; and
// when the edge pixel keeps one level in most rows, as a band's does, while dark picture at
// the edge varies. Dark picture beside the band makes a row unclear rather than wider, and a
// row where it did widen the band lies apart from the cluster. A dark run that ends at a
// bright object near the edge gives a cluster too: it is told apart by its width, deeper than
// damage reaches, or by its spread of widths, wider than a band's ragged edge wanders.
//
// By levels, column by column, where picture as dark as the band leaves few rows clear: the
// share of rows whose pixel keeps the edge's level is near 1 over the band, falls over its
// ragged end and levels off over the picture, which takes that level only now and then. The
// band's widest column is the last one where the share still falls.
//
// A band of one width in every row and frame is a straight edge already (letterboxing or
// pillarboxing, or a capture's blanking): that is picture as it was made, and is left alone.

namespace suggest {

namespace {

// Of the rows whose run ends clearly, those with a dark run; and of all rows.
constexpr double kShareOfClearRows = 0.5;
constexpr double kShareOfRows = 0.05;
// The share of the dark rows that the cluster must hold.
constexpr double kClusterShare = 0.9;
// The share of rows whose edge pixel must keep the band's level.
constexpr double kEvenEdgeShare = 0.8;
// Widths shown by fewer rows than this share of the band's rows are strays.
constexpr double kStrayShare = 0.002;
// Or fewer than this share of the commonest width's rows: where dark picture beside the band
// continues some rows a little, their widths fall off from the band's widest width.
constexpr double kStrayOfCommonest = 0.02;
// And a width is a stray when fewer rows than this show it, however few rows there are.
constexpr double kFewestRows = 5.0;
// By levels: the share falls by at least this from one column to the next over the band's
// ragged end, and the band keeps the edge's level in this share of rows more than the
// picture does.
constexpr double kLevelShareFall = 0.01;
constexpr double kLevelContrast = 0.5;
// How far the share may wander over the picture beyond the band.
constexpr double kPictureWander = 0.1;
// Columns whose share lies within this part of the contrast from the edge's are band in
// every row.
constexpr double kFullBandPart = 0.1;
// The levels' widest column may lie this much short of the band's widest rows.
constexpr int32_t kLevelsNarrower = 2;
// Widths that differ make an uneven band...
constexpr int32_t kUnevenSpread = 1;
// ...unless this share of the rows show one width: a straight band, the rest strays where
// picture as dark as the band continued it.
constexpr double kStraightShare = 0.85;

DarkBand FindDarkBandByLevels(const DarkRuns &runs, int32_t deepest, int32_t widestSpread) {
    DarkBand band;
    // f[n - 1]: the share of rows whose pixel on column n keeps the edge's level.
    const int32_t span = std::min(int32_t(runs.atEdgeLevel.size()), deepest + 2);
    if (runs.rows == 0 || span < 4)
        return band;
    std::vector<double> f;
    for (int32_t n = 1; n <= span; ++n)
        f.push_back(double(runs.atEdgeLevel[size_t(n - 1)]) / double(runs.rows));
    int32_t widest = 0, flat = 0;
    for (int32_t n = 1; n + 1 <= span; ++n) {
        if (f[size_t(n - 1)] - f[size_t(n)] >= kLevelShareFall) {
            widest = n;
            flat = 0;
        } else if (widest > 0 && ++flat >= 2) {
            break;
        }
    }
    if (widest == 0 || widest > deepest)
        return band;
    // Beyond the band the share stays at the picture's level; where it climbs back, the fall
    // was a line in the picture.
    const double picture = f[size_t(widest)];
    std::vector<double> beyond(f.begin() + widest, f.end());
    std::nth_element(beyond.begin(), beyond.begin() + ptrdiff_t(beyond.size() / 2), beyond.end());
    const double contrast = f[0] - picture;
    if (contrast < kLevelContrast || std::fabs(beyond[beyond.size() / 2] - picture) > kPictureWander)
        return band;
    int32_t narrowest = 0;
    for (int32_t n = 1; n <= widest; ++n)
        if (f[size_t(n - 1)] >= f[0] - kFullBandPart * contrast)
            narrowest = n;
    if (narrowest == 0 || widest - narrowest > widestSpread)
        return band;
    band.found = true;
    band.narrowest = narrowest;
    band.widest = widest;
    band.uneven = widest > narrowest;
    band.share = contrast;
    return band;
}

DarkBand FindDarkBandByRuns(const DarkRuns &runs, int32_t deepest, int32_t widestSpread) {
    DarkBand band;
    // Runs wider than damage reaches ended at something in dark picture: counted as unclear.
    const int32_t last = std::min(deepest, int32_t(runs.widths.size()) - 1);
    int64_t dark = 0;
    for (int32_t w = 1; w <= last; ++w)
        dark += runs.widths[size_t(w)];
    const int64_t clear = dark + (runs.widths.empty() ? 0 : runs.widths[0]);
    if (runs.rows == 0 || double(dark) < kShareOfClearRows * double(clear) ||
        double(dark) < kShareOfRows * double(runs.rows) ||
        double(runs.evenAtEdge) < kEvenEdgeShare * double(runs.rows))
        return band;
    // The cluster: the commonest width and the widths joined to it on either side through
    // widths that enough rows show, one missing width allowed between them.
    const auto commonestAt = std::max_element(runs.widths.begin() + 1, runs.widths.begin() + last + 1);
    const double stray = std::max({kFewestRows, kStrayShare * double(dark),
                                   kStrayOfCommonest * double(*commonestAt)});
    const int32_t commonest = int32_t(commonestAt - runs.widths.begin());
    int32_t narrowest = commonest, widest = commonest;
    for (int32_t w = commonest - 1; w >= 1 && narrowest - w <= 2; --w)
        if (double(runs.widths[size_t(w)]) >= stray)
            narrowest = w;
    for (int32_t w = commonest + 1; w <= last && w - widest <= 2; ++w)
        if (double(runs.widths[size_t(w)]) >= stray)
            widest = w;
    int64_t inCluster = 0;
    for (int32_t w = narrowest; w <= widest; ++w)
        inCluster += runs.widths[size_t(w)];
    if (double(inCluster) < kClusterShare * double(dark) || widest - narrowest > widestSpread)
        return band;
    band.found = true;
    band.narrowest = narrowest;
    band.widest = widest;
    band.uneven = widest - narrowest >= kUnevenSpread &&
                  double(*commonestAt) < kStraightShare * double(dark);
    band.share = double(dark) / double(runs.rows);
    return band;
}

}  // namespace

DarkBand FindDarkBand(const DarkRuns &runs, int32_t deepest, int32_t widestSpread) {
    DarkBand byRuns = FindDarkBandByRuns(runs, deepest, widestSpread);
    const DarkBand byLevels = FindDarkBandByLevels(runs, deepest, widestSpread);
    if (byRuns.found && byRuns.uneven) {
        // Rows that dark picture widened can outnumber the band's own widest rows; the levels
        // see only the band, if anything a little narrower (its widest rows are few).
        if (byLevels.found && byLevels.uneven)
            byRuns.widest = std::max(byRuns.narrowest,
                                     std::min(byRuns.widest, byLevels.widest + kLevelsNarrower));
        return byRuns;
    }
    return byLevels.found && (byLevels.uneven || !byRuns.found) ? byLevels : byRuns;
}

}  // namespace suggest
