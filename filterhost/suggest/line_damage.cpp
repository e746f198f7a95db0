#include "line_damage.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "depths.h"

// A torn or noisy row differs from its inner neighbour more than undamaged rows differ from
// theirs, and that difference itself changes from frame to frame (the tear and the noise are
// new in every frame, while an edge in the picture keeps its shape or moves with the
// picture). Undamaged rows are the few just beyond the damage: the picture there is the
// nearest like the damaged rows' own (a letterbox bar, a textured floor), and their median and
// spread (the median absolute deviation) in each frame set the scale, so grain, texture and
// motion cancel out. The damage is the deepest band of rows from the edge that stand out
// against the rows just beyond it; the median over the frames keeps a moving object from
// counting as damage.
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
// Rows torn too little to stand out, between the torn rows and the rows beyond them that
// measure the picture.
constexpr int32_t kFaintRows = 3;
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

Scale ScaleOfLines(const std::vector<float> &perLine, int32_t first, int32_t last) {
    Scale s;
    s.median = MedianOfLines(perLine, first, last);
    std::vector<double> deviations;
    for (int32_t n = first; n <= last; ++n)
        deviations.push_back(std::fabs(perLine[size_t(n - 1)] - s.median));
    s.spread = std::max(
        {1.4826 * Median(std::move(deviations)), kLeastSpread, kLeastSpreadShare * s.median});
    return s;
}

// The rows just beyond a candidate band of `depth` rows, frame by frame.
struct Baseline {
    std::vector<Scale> step, change, motion;
};

Baseline BaselineBeyond(const EdgeSurvey &edge, int32_t depth) {
    Baseline b;
    for (const FrameLines &f : edge.Frames()) {
        b.step.push_back(ScaleOfLines(f.step, depth + 1, depth + kBaselineLines));
        b.change.push_back(
            f.change.empty() ? Scale{} : ScaleOfLines(f.change, depth + 1, depth + kBaselineLines));
        b.motion.push_back(
            f.motion.empty() ? Scale{} : ScaleOfLines(f.motion, depth + 1, depth + kBaselineLines));
    }
    return b;
}

// Whether row n stands out against the baseline as a torn row; `framesShowing` gets the share
// of frames in which its difference does.
bool TornAgainst(const EdgeSurvey &edge, const Baseline &b, int32_t n, bool still,
                 double &framesShowing) {
    const auto &frames = edge.Frames();
    std::vector<double> stepSpreads, stepShare, changeSpreads, motionSpreads;
    int64_t showing = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameLines &f = frames[i];
        const double step = f.step[size_t(n - 1)];
        stepSpreads.push_back(b.step[i].Spreads(step));
        stepShare.push_back(step / std::max(b.step[i].median, kLeastSpread) - 1.0);
        if (!f.change.empty()) {
            changeSpreads.push_back(b.change[i].Spreads(f.change[size_t(n - 1)]));
            motionSpreads.push_back(b.motion[i].Spreads(f.motion[size_t(n - 1)]));
        }
        showing += stepSpreads.back() >= kTornStepSpreads;
    }
    framesShowing = double(showing) / double(frames.size());
    // The edge row may be blanked, still and dark, by the head switch: its own change is not
    // asked for. In a still picture only the tear or the noise along the row shows.
    const bool stands =
        Median(stepSpreads) >= kTornStepSpreads && Median(stepShare) >= kTornStepShare;
    return still ? stands
                 : stands && Median(changeSpreads) >= kTornChangeSpreads &&
                       (n == 1 || Median(motionSpreads) >= kTornMotionSpreads);
}

// The deepest band of torn rows: rows 1 to `last` stand out against the rows beyond `depth`,
// with at most one row between them that does not (two neighbouring rows can be torn alike in
// a frame), and at most kFaintRows rows between `last` and the rows beyond `depth`: the
// innermost torn rows are torn least, too little to stand out, but enough to unsettle the
// rows beyond them as a measure. The edge row, torn most, must stand out.
LineDamage TornRows(const EdgeSurvey &edge, int32_t deepest, bool still) {
    LineDamage found;
    for (int32_t depth = std::min(deepest, edge.Lines() - 1 - kBaselineLines); depth >= 1;
         --depth) {
        const Baseline b = BaselineBeyond(edge, depth);
        int32_t last = 0;
        double share = 0.0;
        for (int32_t n = 1; n <= depth; ++n) {
            double showing = 0.0;
            if (TornAgainst(edge, b, n, still, showing)) {
                last = n;
                share = showing;
            } else if (n == 1 || n - last > 1 || still) {
                break;
            }
        }
        if (last > 0 && last >= depth - kFaintRows) {
            found.kind = LineDamageKind::TornOrNoisy;
            found.lines = last;
            found.share = share;
            return found;
        }
    }
    return found;
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
