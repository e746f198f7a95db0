#include "line_damage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "depths.h"

// A torn or noisy row differs from its inner neighbour more than undamaged rows differ from
// theirs, and that difference itself changes from frame to frame (the tear and the noise are
// new in every frame, while an edge in the picture keeps its shape or moves with the
// picture). Over fine texture that moves, whose rows all differ from their neighbours and
// change in every frame, that is not seen; what is seen is what the tear adds along the row:
// noise unlike the picture's own, colour that grey picture never has (noise drawn in B, G
// and R apart), and a sideways shift against the row inside it. Undamaged rows are the few
// just beyond the damage: the picture there is the nearest like the damaged rows' own (a
// letterbox bar, a textured floor), and their median and spread (the median absolute
// deviation) in each frame set the scale, so grain, texture and motion cancel out. The
// damage is the deepest band of rows from the edge that stand out against the rows just
// beyond it; the median over the frames keeps a moving object from counting as damage.
//
// A bright or flickering line is brighter than the lines just inside it in most frames, or
// its brightness against them jumps from frame to frame. Only the outermost few lines are
// looked at for it: a brighter band any deeper is picture.

namespace suggest {

namespace {

// A torn row lies this many spreads above the baseline's median, in the median frame, and its
// difference's change from the frame before this many...
constexpr double kTornStepSpreads = 3.0;
constexpr double kTornChangeSpreads = 2.5;
// ...and the row itself changes from the frame before more than the rows beyond do by this
// many spreads: a still stripe in moving picture differs from its neighbours in a way that
// changes every frame too, but does not change itself.
constexpr double kTornMotionSpreads = 1.0;
// ...and at least this much above the median, as a share of it: on flat picture the spread
// is about 0.
constexpr double kTornStepShare = 0.15;
// Or its noise, colour noise or shift along the row lies as many spreads above, and this much
// (fine texture's rows differ in these by a fifth), while the row changes from the frame
// before about as much as the rows beyond do: within kTornMotionSpreads below and this many
// spreads above. A row that changes far more than they do is picture unlike them (moving
// picture beside a still stripe), or torn enough to stand out by its difference.
constexpr double kTornAlongShare = 0.25;
constexpr double kAlongMotionSpreads = 5.0;
// Rows torn too little to stand out, between the torn rows and the rows beyond them that
// measure the picture.
constexpr int32_t kFaintRows = 3;
// How far, against the torn rows, the faint row just past them must stand out to count.
constexpr double kFaintStrictness = 0.5;
// Torn rows a band must show when its edge row does not stand out.
constexpr int32_t kFewestTornPastEdge = 2;
// In a still picture, how much further a band of one row must stand out.
constexpr double kLoneRowStrictness = 2.0;
// The smallest spread, in luma levels and as a share of the median: flat, grainless picture
// has none.
constexpr double kLeastSpread = 0.15;
constexpr double kLeastSpreadShare = 0.05;
// Brightness against the lines just inside, in luma levels, beyond the picture's own
// line-to-line brightness changes (counted three times).
constexpr double kBrightLevels = 10.0;
constexpr double kTypicalLevelWeight = 3.0;
// The share of frames in which a flickering line must stand out.
constexpr double kFlickerQuantile = 0.8;
// A line bright in this share of frames or more is bright, though missing from the others.
constexpr double kBrightFramesShare = 0.4;

double Quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0.0;
    const size_t at = std::min(values.size() - 1, size_t(q * double(values.size())));
    std::nth_element(values.begin(), values.begin() + ptrdiff_t(at), values.end());
    return values[at];
}

double Median(std::vector<double> values) { return Quantile(std::move(values), 0.5); }

double MedianOfLines(const std::vector<float> &perLine, int32_t first, int32_t last) {
    std::vector<double> values;
    for (int32_t n = first; n <= last; ++n)
        values.push_back(perLine[size_t(n - 1)]);
    return Median(std::move(values));
}

// Some lines' median and spread of one measurement in one frame.
struct Scale {
    double median = 0.0, spread = 1.0;
    double Spreads(double value) const { return (value - median) / spread; }
};

Scale ScaleOfLines(const std::vector<float> &perLine, int32_t first, int32_t last,
                   double leastSpread) {
    Scale s;
    s.median = MedianOfLines(perLine, first, last);
    std::vector<double> deviations;
    for (int32_t n = first; n <= last; ++n)
        deviations.push_back(std::fabs(perLine[size_t(n - 1)] - s.median));
    s.spread = std::max(
        {1.4826 * Median(std::move(deviations)), leastSpread, kLeastSpreadShare * s.median});
    return s;
}

// The measurements of a row that tell torn rows: its difference from the row inside it in
// brightness, how that changes from the frame before, the row's own change; and, for picture
// whose rows all differ and change anyway (fine texture that moves), its noise along the row,
// its colour and its shift sideways.
enum Measure { kStep, kChange, kMotion, kNoise, kColourStep, kColourNoise, kShift, kMeasureCount };
constexpr std::vector<float> FrameLines::*kMeasures[kMeasureCount] = {
    &FrameLines::step,       &FrameLines::change,      &FrameLines::motion, &FrameLines::noise,
    &FrameLines::colourStep, &FrameLines::colourNoise, &FrameLines::shift};
// The smallest spread of each: noise and colour a level at least, where a codec's rounding
// and a subsampled colour's spill leave a level or two beside flat or grey picture; the shift,
// a share of the row's difference, 3 % (moving flat picture's grain nearer by chance).
constexpr double kLeastSpreads[kMeasureCount] = {kLeastSpread, kLeastSpread, kLeastSpread, 1.0,
                                                 1.0,          1.0,          0.03};

// The rows just beyond a candidate band of `depth` rows, frame by frame.
struct Baseline {
    std::array<std::vector<Scale>, kMeasureCount> scales;
};

Baseline BaselineBeyond(const EdgeSurvey &edge, int32_t depth) {
    Baseline b;
    for (const FrameLines &f : edge.Frames())
        for (int m = 0; m < kMeasureCount; ++m) {
            const std::vector<float> &values = f.*kMeasures[m];
            b.scales[size_t(m)].push_back(
                values.empty()
                    ? Scale{}
                    : ScaleOfLines(values, depth + 1, depth + kBaselineLines, kLeastSpreads[m]));
        }
    return b;
}

// How row n stands against the baseline in one measurement: in spreads and as a share above
// the baseline's median, in the median frame, and the spreads frame by frame.
struct Standing {
    double spreads = 0.0, share = 0.0;
    std::vector<double> perFrame;
    bool Stands(double strictness, double leastShare) const {
        return spreads >= strictness * kTornStepSpreads && share >= leastShare;
    }
};

Standing StandingOf(const EdgeSurvey &edge, const Baseline &b, int32_t n, Measure m) {
    Standing standing;
    std::vector<double> shares;
    const auto &frames = edge.Frames();
    for (size_t i = 0; i < frames.size(); ++i) {
        const std::vector<float> &values = frames[i].*kMeasures[m];
        if (values.empty())
            continue;
        const Scale &scale = b.scales[size_t(m)][i];
        const double value = values[size_t(n - 1)];
        standing.perFrame.push_back(scale.Spreads(value));
        shares.push_back(value / std::max(scale.median, kLeastSpreads[m]) - 1.0);
    }
    standing.spreads = Median(standing.perFrame);
    standing.share = Median(std::move(shares));
    return standing;
}

// What marks row n as torn, if anything: the signs (TornSign bits) by which it stands out, and
// the share of frames in which one of them does.
struct RowVerdict {
    unsigned signs = 0;
    double framesShowing = 0.0;
};

// Whether row n stands out against the baseline as a torn row. Its difference from the row
// inside it, in brightness or colour, stands out at an edge in the picture too: the difference
// must also change from frame to frame more than the picture's, and the row itself more than
// the picture does (a still stripe in moving picture differs from its neighbours in a way that
// changes every frame too, but does not change itself). Its noise, colour noise and shift
// along the row stand out only where it is noisy or torn; over fine texture that moves, whose
// rows all differ and change anyway, they are what shows, and the row need only change from
// frame to frame about as much as the picture does. In a still picture only what each frame
// shows counts. `strictness` scales how far the row must stand out.
RowVerdict TornAgainst(const EdgeSurvey &edge, const Baseline &b, int32_t n, bool still,
                       double strictness = 1.0) {
    struct Sign {
        Measure measure;
        unsigned sign;
        double leastShare;
        bool along;
    };
    static const Sign kSigns[] = {{kStep, kTornByBrightness, kTornStepShare, false},
                                  {kColourStep, kTornByColour, kTornStepShare, false},
                                  {kNoise, kTornByNoise, kTornAlongShare, true},
                                  {kColourNoise, kTornByColour, kTornAlongShare, true},
                                  {kShift, kTornByShift, kTornAlongShare, true}};
    unsigned across = 0, along = 0;
    std::vector<double> showing;
    for (const Sign &sign : kSigns) {
        const Standing standing = StandingOf(edge, b, n, sign.measure);
        if (!standing.Stands(strictness, sign.leastShare))
            continue;
        (sign.along ? along : across) |= sign.sign;
        showing.resize(std::max(showing.size(), standing.perFrame.size()), -1e9);
        for (size_t i = 0; i < standing.perFrame.size(); ++i)
            showing[i] = std::max(showing[i], standing.perFrame[i]);
    }
    RowVerdict verdict;
    if (still) {
        verdict.signs = across | along;
    } else {
        // The edge row may be blanked, still and dark, by the head switch: its own change is
        // not asked for.
        const double motion = n == 1 ? kTornMotionSpreads : StandingOf(edge, b, n, kMotion).spreads;
        if (along != 0 && motion >= -kTornMotionSpreads && motion <= kAlongMotionSpreads)
            verdict.signs |= along;
        if (across != 0 && motion >= kTornMotionSpreads &&
            StandingOf(edge, b, n, kChange).spreads >= kTornChangeSpreads)
            verdict.signs |= across;
    }
    if (verdict.signs != 0 && !showing.empty())
        verdict.framesShowing =
            double(std::count_if(showing.begin(), showing.end(),
                                 [&](double s) { return s >= strictness * kTornStepSpreads; })) /
            double(showing.size());
    return verdict;
}

// The deepest band of torn rows: rows 1 to `lines` stand out against the rows beyond `depth`,
// with at most one row between them that does not (two neighbouring rows can be torn alike in
// a frame), and at most kFaintRows rows between `lines` and the rows beyond `depth`: the
// innermost torn rows are torn least, too little to stand out, but enough to unsettle the
// rows beyond them as a measure. The edge row, torn most, must stand out; only where the
// picture's rows all differ widely (fine texture) may it not, and then two rows beyond it
// must. In a still picture the band is unbroken, and a band of one row must stand out twice
// as far (in one picture of fine texture a row stands out by chance).
LineDamage TornRows(const EdgeSurvey &edge, int32_t deepest, bool still) {
    for (int32_t depth = std::min(deepest, edge.Lines() - 1 - kBaselineLines); depth >= 1;
         --depth) {
        const Baseline b = BaselineBeyond(edge, depth);
        LineDamage found;
        int32_t torn = 0;
        bool edgeStands = false;
        for (int32_t n = 1; n <= depth; ++n) {
            const RowVerdict verdict = TornAgainst(edge, b, n, still);
            if (verdict.signs != 0) {
                found.lines = n;
                found.share = verdict.framesShowing;
                found.signs |= verdict.signs;
                ++torn;
                edgeStands = edgeStands || n == 1;
            } else if (n - found.lines > 1 || still) {
                break;
            }
        }
        // The edge row blanked by the head switch differs from the torn row inside it by the
        // same in every frame: its difference standing out is enough.
        if (!edgeStands && torn > 0 && !still &&
            StandingOf(edge, b, 1, kStep).Stands(1.0, kTornStepShare))
            edgeStands = true;
        if ((!edgeStands && torn < kFewestTornPastEdge) ||
            (still && found.lines == 1 &&
             TornAgainst(edge, b, 1, still, kLoneRowStrictness).signs == 0) ||
            found.lines == 0 || found.lines < depth - kFaintRows)
            continue;
        // The faint rows whose difference still changes from frame to frame as the torn rows'
        // does are torn too, and so is the next row if it stands out half as far.
        while (!still && found.lines < depth &&
               StandingOf(edge, b, found.lines + 1, kChange).spreads >= kTornChangeSpreads)
            ++found.lines;
        if (!still && found.lines < depth &&
            TornAgainst(edge, b, found.lines + 1, still, kFaintStrictness).signs != 0)
            ++found.lines;
        found.kind = LineDamageKind::TornOrNoisy;
        return found;
    }
    return LineDamage{};
}

// How a line's brightness stands against the lines just inside it, frame by frame.
struct Brightness {
    double usual = 0.0;    // in the median frame
    double flicker = 0.0;  // how far it jumps from that, in the flicker quantile
    std::vector<double> against;
};

Brightness BrightnessOf(const EdgeSurvey &edge, int32_t n) {
    Brightness b;
    // The median of the lines inside, or the darkest of the nearest few where that is
    // brighter: a dark stripe in the picture may fill most of the lines inside.
    for (const FrameLines &f : edge.Frames()) {
        const auto nearest = f.level.begin() + n;
        const double darkestNear =
            *std::min_element(nearest, nearest + std::min(kNearNeighbourLines, edge.Lines() - n));
        const double inside =
            MedianOfLines(f.level, n + 1, std::min(n + kNeighbourLines, edge.Lines()));
        b.against.push_back(f.level[size_t(n - 1)] - std::max(darkestNear, inside));
    }
    b.usual = Median(b.against);
    std::vector<double> jumps;
    for (double a : b.against)
        jumps.push_back(std::fabs(a - b.usual));
    b.flicker = Quantile(std::move(jumps), kFlickerQuantile);
    return b;
}

// Bright or flickering lines from line 1 among lines 1..brightDepth. Picture moving across
// the edge makes lines jump too, so a line flickers only when it jumps well beyond the lines
// just past brightDepth. A band that goes on past brightDepth is picture (a bright stripe, a
// sky).
LineDamage BrightLines(const EdgeSurvey &edge, int32_t brightDepth) {
    LineDamage found;
    const int32_t referenceLast = brightDepth + 1 + kFlickerReferenceLines;
    if (brightDepth <= 0 || referenceLast + kNeighbourLines > edge.Lines())
        return found;
    // The picture's own line-to-line brightness changes, over the lines well inside.
    std::vector<double> typicalLevelStep;
    for (const FrameLines &f : edge.Frames()) {
        std::vector<double> levelSteps;
        for (int32_t n = referenceLast + 1; n < edge.Lines(); ++n)
            levelSteps.push_back(std::fabs(f.level[size_t(n - 1)] - f.level[size_t(n)]));
        typicalLevelStep.push_back(Median(std::move(levelSteps)));
    }
    const double brightLevels = kBrightLevels + kTypicalLevelWeight * Median(typicalLevelStep);
    double pictureFlicker = 0.0;
    for (int32_t n = brightDepth + 2; n <= referenceLast; ++n)
        pictureFlicker = std::max(pictureFlicker, BrightnessOf(edge, n).flicker);
    for (int32_t n = 1; n <= brightDepth + 1; ++n) {
        const Brightness b = BrightnessOf(edge, n);
        const double brightFrames =
            double(std::count_if(b.against.begin(), b.against.end(),
                                 [&](double a) { return a >= brightLevels; })) /
            double(b.against.size());
        const bool bright = b.usual >= brightLevels || brightFrames >= kBrightFramesShare ||
                            b.flicker >= brightLevels + pictureFlicker;
        if (!bright)
            break;
        if (n > brightDepth)
            return LineDamage{};
        found.kind = LineDamageKind::BrightOrFlickering;
        found.lines = n;
        found.share =
            double(std::count_if(b.against.begin(), b.against.end(),
                                 [&](double a) { return std::fabs(a) >= brightLevels; })) /
            double(b.against.size());
    }
    return found;
}

}  // namespace

LineDamage FindLineDamage(const EdgeSurvey &edge, int32_t deepest, int32_t brightDepth,
                          bool still) {
    if (edge.Frames().empty() || deepest < 1)
        return LineDamage{};
    const LineDamage torn = TornRows(edge, deepest, still);
    const LineDamage bright = BrightLines(edge, std::min(brightDepth, deepest));
    // A flickering line also changes from frame to frame like a torn one: where both reach
    // as deep, it is the bright line.
    return bright.lines > 0 && bright.lines >= torn.lines ? bright : torn;
}

}  // namespace suggest
