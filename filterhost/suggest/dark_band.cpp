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
// By profiles, column by column, where picture as dark as the band leaves few rows clear. Two
// things are measured for every column over all rows and frames: the share of pixels that keep
// the edge's level, and how much the pixels change from one frame to the next. Over the band
// each stays at the edge column's value (a band keeps its level and its own noise, whatever
// the picture beside it does); over the picture at the picture's own, changing only slowly
// from column to column; over the ragged end it moves from one to the other, and the pixels
// there turn from band to picture and back from frame to frame. The band reaches as far as a
// profile, followed from the edge, lies away from the picture's value and still moves. Either
// profile may see the band where the other cannot: a band at the picture's own level but noisier or
// stiller than it, or one as noisy as the picture but at another level.
//
// A band of one width in every row and frame is a straight edge already (letterboxing or
// pillarboxing, or a capture's blanking): that is picture as it was made, and is left alone.

namespace suggest {

namespace {

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// Of the rows whose run ends clearly, those with a dark run; and of all rows.
constexpr double kShareOfClearRows = 0.5;
constexpr double kShareOfRows = 0.05;
// And at least this many rows: fewer, in a single small picture, are as likely dark picture
// that ends at a line.
constexpr int64_t kFewestDarkRows = 100;
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
// By profiles: the picture begins, roughly, after the last column where a profile moves by
// this part of its steepest step...
constexpr double kPartOfSteepestStep = 0.06;
// ...with at least this many columns of picture beyond it to judge it by. Over the band, the
// profile lies away from the picture's value by this part of the furthest it lies away (but
// at most this part of the band's own difference from it), and this many times the
// picture's usual step from column to column.
constexpr int32_t kPictureColumns = 4;
constexpr double kPartOfContrast = 0.02;
constexpr double kMostPartOfContrast = 0.5;
constexpr double kUsualSteps = 3.0;
// The band differs from the picture by this many of the profile's usual steps, and by at
// least: in the share of pixels keeping the edge's level, and in their change from frame to
// frame (in levels).
constexpr double kLeastContrastSteps = 10.0;
constexpr double kLeastShareContrast = 0.15;
constexpr double kLeastChangeContrast = 1.5;
// Columns whose profile lies within this part of the contrast from the edge's are band in
// every row.
constexpr double kFullBandPart = 0.1;
// The runs' widest width may lie this much beyond the profiles' widest column.
constexpr int32_t kRunsBeyondProfiles = 1;
// Widths that differ make an uneven band...
constexpr int32_t kUnevenSpread = 1;
// ...unless this share of the rows show one width: a straight band, the rest strays where
// picture as dark as the band continued it.
constexpr double kStraightShare = 0.85;
// Where neither profile sees a band, the runs alone must show it in this share of the rows:
// in fewer, they are dark picture ending at whatever lies in it.
constexpr double kShareOfRowsUnseen = 0.2;

// The band as one profile sees it: g[n - 1] for column n.
DarkBand FindBandInProfile(const std::vector<double> &g, int32_t deepest, int32_t widestSpread,
                           double leastContrast, bool crosses) {
    DarkBand band;
    const int32_t span = int32_t(g.size());
    if (span < kPictureColumns + 2)
        return band;
    std::vector<double> steps;
    for (int32_t n = 1; n < span; ++n)
        steps.push_back(std::fabs(g[size_t(n - 1)] - g[size_t(n)]));
    const double steepest = *std::max_element(steps.begin(), steps.end());
    // The last clear step, counted from the picture's side with at least kPictureColumns
    // beyond it: the band's own jitter before its ragged end does not count.
    auto lastStep = [&](double clearStep) {
        for (int32_t n = span - kPictureColumns; n >= 1; --n)
            if (steps[size_t(n - 1)] >= clearStep && steps[size_t(n - 1)] > 0.0)
                return n;
        return 0;
    };
    // Where the picture begins, roughly: the profile's value there and its own steps. Steps no
    // larger than most are the profile's own jitter (large where few rows were measured).
    const int32_t knee =
        lastStep(std::max(kPartOfSteepestStep * steepest, kUsualSteps * Median(steps)));
    if (knee == 0)
        return band;
    const double picture = Median(std::vector<double>(g.begin() + knee, g.end()));
    const double usual = Median(std::vector<double>(steps.begin() + knee, steps.end()));
    const double contrast = std::fabs(g[0] - picture);
    if (contrast < std::max(leastContrast, kLeastContrastSteps * usual))
        return band;
    // The band ends where the profile, followed from the edge, comes back near the picture's
    // value (the furthest it lay away from it sets how near), and no later than where it last
    // moves clearly against the picture's own steps: a line in the picture beyond the band (a
    // still column, brighter or darker) lies away from the picture's value too, but after the
    // profile came back to it; a picture whose value drifts over many columns keeps away from
    // it, but does not move clearly. Where the pixels change more over the ragged end than
    // over the band and the picture both (`crosses`), the profile crosses the picture's value
    // on its way: one column near it may lie inside the band.
    double furthest = 0.0;
    for (int32_t n = 1; n <= knee; ++n)
        furthest = std::max(furthest, std::fabs(g[size_t(n - 1)] - picture));
    const double near = std::max(
        std::min(kPartOfContrast * furthest, kMostPartOfContrast * contrast), kUsualSteps * usual);
    int32_t widest = 0;
    for (int32_t n = 1, nearInARow = 0; n <= span && nearInARow < (crosses ? 2 : 1); ++n) {
        if (std::fabs(g[size_t(n - 1)] - picture) > near) {
            widest = n;
            nearInARow = 0;
        } else {
            ++nearInARow;
        }
    }
    // From the last column at the band's own value, the profile moves on every column, or every
    // other, until the picture.
    int32_t narrowest = 0;
    while (narrowest < span && std::fabs(g[size_t(narrowest)] - g[0]) <= kFullBandPart * contrast)
        ++narrowest;
    const double clearStep = std::max(kPartOfSteepestStep * steepest, kUsualSteps * usual);
    int32_t moving = narrowest;
    for (int32_t n = narrowest, flat = 0; n < span && flat < 2; ++n) {
        if (steps[size_t(n - 1)] >= clearStep) {
            moving = n;
            flat = 0;
        } else {
            ++flat;
        }
    }
    widest = std::min(widest, moving);
    if (widest == 0 || widest > deepest || span - widest < kPictureColumns)
        return band;
    narrowest = std::min(narrowest, widest);
    if (narrowest == 0 || widest - narrowest > widestSpread)
        return band;
    band.found = true;
    band.narrowest = narrowest;
    band.uneven = widest > narrowest;
    // The band's widest rows may be too few to move the profile clearly: one column more.
    band.widest = band.uneven ? std::min(widest + 1, deepest) : widest;
    return band;
}

// A band of one level is straight, whatever the pixels' changes show beside it (letterboxing or
// pillarboxing), unless those changes show a band inside it: over the bar the pixels change by
// the bar's own grain alike in every column, while a band drawn over it changes by its own
// noise and, over its ragged end, turns from band to bar and back. A band whose change differs
// from the bar's innermost column by the change's least contrast is such a band; it reaches
// as far as the change lies away from the bar's, and one column further (its widest rows may
// be too few to move the profile clearly).
DarkBand BandInsideBar(const std::vector<double> &change, const DarkBand &bar, int32_t deepest) {
    const int32_t width = bar.widest;
    if (change.size() < size_t(width) || width < 2)
        return bar;
    const double own = change[size_t(width - 1)];
    const double contrast = std::fabs(change[0] - own);
    if (contrast < kLeastChangeContrast)
        return bar;
    int32_t widest = 1;
    for (int32_t n = 1; n < width; ++n)
        if (std::fabs(change[size_t(n - 1)] - own) > kPartOfContrast * contrast)
            widest = n;
    DarkBand band = bar;
    band.uneven = true;
    band.narrowest = 1;
    band.widest = std::min(widest + 1, deepest);
    return band;
}

// `changeAlone`: whether only the pixels' change saw the band (the share of pixels keeping the
// edge's level did not).
DarkBand FindDarkBandByProfiles(const DarkRuns &runs, int32_t deepest, int32_t widestSpread,
                                bool &changeAlone) {
    changeAlone = false;
    const int32_t span = std::min(int32_t(runs.atEdgeLevel.size()), deepest + 2);
    if (runs.rows == 0 || double(runs.darkAtEdge) < kEvenEdgeShare * double(runs.rows) ||
        double(runs.evenAtEdge) < kEvenEdgeShare * double(runs.rows))
        return DarkBand{};
    std::vector<double> share, change;
    for (int32_t n = 1; n <= span; ++n) {
        share.push_back(double(runs.atEdgeLevel[size_t(n - 1)]) / double(runs.rows));
        if (runs.changeRows > 0)
            change.push_back(double(runs.change[size_t(n - 1)]) / double(runs.changeRows));
    }
    DarkBand byShare = FindBandInProfile(share, deepest, widestSpread, kLeastShareContrast, false);
    const DarkBand byChange =
        FindBandInProfile(change, deepest, widestSpread, kLeastChangeContrast, true);
    byShare.share = double(runs.evenAtEdge) / double(runs.rows);
    if (byShare.found && !byShare.uneven)
        return BandInsideBar(change, byShare, deepest);
    if (!byChange.found)
        return byShare;
    changeAlone = !byShare.found;
    if (!byShare.found)
        return DarkBand{byChange.found, byChange.uneven, byChange.narrowest, byChange.widest,
                        byShare.share};
    // Over a pillarbox bar beside the band the pixels are as still as the band's, though the
    // bar keeps a level of its own: the change may carry the band one column further, where
    // the share saw its widest rows too faintly, but no more.
    if (byChange.uneven)
        byShare.widest = std::max(byShare.widest, std::min(byChange.widest, byShare.widest + 1));
    return byShare;
}

// `scattered`: whether the rows show dark runs enough for a band, but of widths spread wider
// than a band's ragged end wanders.
DarkBand FindDarkBandByRuns(const DarkRuns &runs, int32_t deepest, int32_t widestSpread,
                            bool &scattered) {
    DarkBand band;
    scattered = false;
    // Runs wider than damage reaches ended at something in dark picture: counted as unclear.
    const int32_t last = std::min(deepest, int32_t(runs.widths.size()) - 1);
    int64_t dark = 0;
    for (int32_t w = 1; w <= last; ++w)
        dark += runs.widths[size_t(w)];
    const int64_t clear = dark + (runs.widths.empty() ? 0 : runs.widths[0]);
    if (runs.rows == 0 || double(dark) < kShareOfClearRows * double(clear) ||
        double(dark) < kShareOfRows * double(runs.rows) || dark < kFewestDarkRows ||
        double(runs.evenAtEdge) < kEvenEdgeShare * double(runs.rows))
        return band;
    // The cluster: the commonest width and the widths joined to it on either side through
    // widths that enough rows show, one missing width allowed between them.
    const auto commonestAt =
        std::max_element(runs.widths.begin() + 1, runs.widths.begin() + last + 1);
    const double stray = std::max(
        {kFewestRows, kStrayShare * double(dark), kStrayOfCommonest * double(*commonestAt)});
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
    scattered = widest - narrowest > widestSpread;
    if (double(inCluster) < kClusterShare * double(dark) || scattered)
        return band;
    band.found = true;
    band.narrowest = narrowest;
    band.widest = widest;
    band.uneven =
        widest - narrowest >= kUnevenSpread && double(*commonestAt) < kStraightShare * double(dark);
    band.share = double(dark) / double(runs.rows);
    return band;
}

// The runs of one of `pictures` frames alike: every count shared out, and no change.
DarkRuns AsOnePicture(const DarkRuns &runs, int32_t pictures) {
    auto one = [&](int64_t count) { return (count + pictures / 2) / pictures; };
    DarkRuns picture;
    for (int64_t w : runs.widths)
        picture.widths.push_back(one(w));
    for (int64_t a : runs.atEdgeLevel)
        picture.atEdgeLevel.push_back(one(a));
    picture.unclear = one(runs.unclear);
    picture.rows = one(runs.rows);
    picture.evenAtEdge = one(runs.evenAtEdge);
    picture.darkAtEdge = one(runs.darkAtEdge);
    return picture;
}

}  // namespace

DarkBand FindDarkBand(const DarkRuns &allRuns, int32_t deepest, int32_t widestSpread,
                      int32_t stillPictures) {
    const DarkRuns runs = stillPictures > 0 ? AsOnePicture(allRuns, stillPictures) : allRuns;
    bool scattered = false, changeAlone = false;
    DarkBand byRuns = FindDarkBandByRuns(runs, deepest, widestSpread, scattered);
    DarkBand byProfiles = FindDarkBandByProfiles(runs, deepest, widestSpread, changeAlone);
    // A band seen only in the pixels' change lies at the picture's own level; dark picture
    // that ends at a still line beside it, or darkens gradually towards the edge, shows such
    // a band too. Where the rows' runs see that picture (a straight edge in most rows, or
    // widths scattered wider than a band's), the change's band is that picture.
    if (changeAlone && ((byRuns.found && !byRuns.uneven) || scattered))
        byProfiles = DarkBand{};
    if (byRuns.found && byRuns.uneven && !byProfiles.found && byRuns.share < kShareOfRowsUnseen)
        return DarkBand{};
    if (byRuns.found && byRuns.uneven) {
        // Rows that dark picture widened can outnumber the band's own widest rows, and where
        // dark picture beside the band leaves the widest rows unclear, their runs are not
        // counted at all; the profiles see the band alone.
        if (byProfiles.found && byProfiles.uneven)
            byRuns.widest =
                std::max(byProfiles.widest,
                         std::min(byRuns.widest, byProfiles.widest + kRunsBeyondProfiles));
        return byRuns;
    }
    return byProfiles.found && (byProfiles.uneven || !byRuns.found) ? byProfiles : byRuns;
}

}  // namespace suggest
