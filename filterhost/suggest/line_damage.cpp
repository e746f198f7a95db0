#include "line_damage.h"

#include <algorithm>
#include <cmath>
#include <vector>

// A torn or noisy row differs from its inner neighbour more than the lines further in differ
// from theirs, and that difference itself changes from frame to frame (the tear and the noise
// are new in every frame, while an edge in the picture keeps its shape or moves with the
// picture). Each is measured against the reference lines deeper in the same frame: how many
// of their spreads (the median absolute deviation) it lies above their median. So grain,
// texture and motion of the picture set the scale, and a whole line's mean, which varies
// little in clean picture, makes even faint damage stand out. The median over the frames
// keeps a moving object from counting as damage.
//
// A bright or flickering line is brighter than the lines just inside it in most frames, or
// its brightness against them jumps from frame to frame. Only the outermost few lines are
// looked at for it: a brighter band any deeper is picture.

namespace suggest {

namespace {

// Spreads above the reference lines' median, in the median frame.
constexpr double kTornStepSpreads = 3.0;
constexpr double kTornChangeSpreads = 2.5;
// And at least this much above it, as a share of it: on flat picture the spread is about 0.
constexpr double kTornStepShare = 0.15;
// The smallest spread, in luma levels and as a share of the median: flat, grainless picture
// has none.
constexpr double kLeastSpread = 0.3;
constexpr double kLeastSpreadShare = 0.05;
// Brightness against the lines just inside, in luma levels, beyond the picture's own
// line-to-line brightness changes (counted three times).
constexpr double kBrightLevels = 10.0;
constexpr double kTypicalLevelWeight = 3.0;
// The share of frames in which a flickering line must stand out.
constexpr double kFlickerQuantile = 0.8;
// Lines just inside a line that give its expected brightness.
constexpr int32_t kNeighbourLines = 8;
// Lines past the deepest bright line whose jumps in brightness are the picture's own.
constexpr int32_t kFlickerReferenceLines = 4;

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + ptrdiff_t(middle), values.end());
    return values[middle];
}

double Quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0.0;
    const size_t at = std::min(values.size() - 1, size_t(q * double(values.size())));
    std::nth_element(values.begin(), values.begin() + ptrdiff_t(at), values.end());
    return values[at];
}

double MedianOfLines(const std::vector<float> &perLine, int32_t first, int32_t last) {
    std::vector<double> values;
    for (int32_t n = first; n <= last; ++n)
        values.push_back(perLine[size_t(n - 1)]);
    return Median(std::move(values));
}

// The reference lines' median and spread of one measurement in one frame.
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
    s.spread = std::max({1.4826 * Median(std::move(deviations)), kLeastSpread,
                         kLeastSpreadShare * s.median});
    return s;
}

struct LineVerdicts {
    std::vector<bool> torn, bright;     // index n - 1
    std::vector<double> tornShare, brightShare;
};

// How a line's brightness stands against the lines just inside it, frame by frame.
struct Brightness {
    double usual = 0.0;         // in the median frame
    double flicker = 0.0;       // how far it jumps from that, in the flicker quantile
    std::vector<double> against;
};

Brightness BrightnessOf(const EdgeSurvey &edge, int32_t n) {
    Brightness b;
    for (const FrameLines &f : edge.Frames()) {
        const int32_t last = std::min(n + kNeighbourLines, edge.Lines());
        b.against.push_back(f.level[size_t(n - 1)] - MedianOfLines(f.level, n + 1, last));
    }
    b.usual = Median(b.against);
    std::vector<double> jumps;
    for (double a : b.against)
        jumps.push_back(std::fabs(a - b.usual));
    b.flicker = Quantile(std::move(jumps), kFlickerQuantile);
    return b;
}

// Bright or flickering lines among lines 1..brightDepth. Picture moving across the edge makes
// lines jump too, so a line flickers only when it jumps well beyond the lines just past
// brightDepth. A band that goes on past brightDepth is picture (a bright stripe, a sky).
void JudgeBrightLines(const EdgeSurvey &edge, int32_t brightDepth,
                      const std::vector<double> &typicalLevelStep, LineVerdicts &v) {
    if (brightDepth <= 0 || brightDepth + kFlickerReferenceLines + 1 + kNeighbourLines > edge.Lines())
        return;
    const double brightLevels = kBrightLevels + kTypicalLevelWeight * Median(typicalLevelStep);
    double pictureFlicker = 0.0;
    for (int32_t n = brightDepth + 2; n <= brightDepth + 1 + kFlickerReferenceLines; ++n)
        pictureFlicker = std::max(pictureFlicker, BrightnessOf(edge, n).flicker);
    std::vector<bool> bright(size_t(brightDepth) + 1);
    for (int32_t n = 1; n <= brightDepth + 1; ++n) {
        const Brightness b = BrightnessOf(edge, n);
        bright[size_t(n - 1)] = b.usual >= brightLevels || b.flicker >= brightLevels + pictureFlicker;
        if (n > brightDepth)
            break;
        v.brightShare[size_t(n - 1)] =
            double(std::count_if(b.against.begin(), b.against.end(),
                                 [&](double a) { return std::fabs(a) >= brightLevels; })) /
            double(b.against.size());
    }
    if (bright[size_t(brightDepth)])
        return;
    for (int32_t n = 1; n <= brightDepth; ++n)
        v.bright[size_t(n - 1)] = bright[size_t(n - 1)];
}

LineVerdicts JudgeLines(const EdgeSurvey &edge, int32_t deepest, int32_t brightDepth) {
    const auto &frames = edge.Frames();
    // Reference lines: beyond the deepest band's middle up to the last line with a step.
    const int32_t refFirst = deepest / 2 + 1, refLast = edge.Lines() - 1;
    LineVerdicts v;
    v.torn.assign(size_t(deepest), false);
    v.bright.assign(size_t(deepest), false);
    v.tornShare.assign(size_t(deepest), 0.0);
    v.brightShare.assign(size_t(deepest), 0.0);

    std::vector<Scale> refStep, refChange;
    std::vector<double> typicalLevelStep;
    for (const FrameLines &f : frames) {
        refStep.push_back(ScaleOfLines(f.step, refFirst, refLast));
        refChange.push_back(f.change.empty() ? Scale{} : ScaleOfLines(f.change, refFirst, refLast));
        std::vector<double> levelSteps;
        for (int32_t n = refFirst; n < refLast; ++n)
            levelSteps.push_back(std::fabs(f.level[size_t(n - 1)] - f.level[size_t(n)]));
        typicalLevelStep.push_back(Median(std::move(levelSteps)));
    }

    for (int32_t n = 1; n <= deepest; ++n) {
        std::vector<double> stepSpreads, stepShare, changeSpreads;
        int64_t framesShowing = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            const FrameLines &f = frames[i];
            const double step = f.step[size_t(n - 1)];
            stepSpreads.push_back(refStep[i].Spreads(step));
            stepShare.push_back(step / std::max(refStep[i].median, kLeastSpread) - 1.0);
            if (!f.change.empty())
                changeSpreads.push_back(refChange[i].Spreads(f.change[size_t(n - 1)]));
            framesShowing += stepSpreads.back() >= kTornStepSpreads;
        }
        v.torn[size_t(n - 1)] = Median(stepSpreads) >= kTornStepSpreads &&
                                Median(stepShare) >= kTornStepShare &&
                                Median(changeSpreads) >= kTornChangeSpreads;
        v.tornShare[size_t(n - 1)] = double(framesShowing) / double(frames.size());
    }
    JudgeBrightLines(edge, brightDepth, typicalLevelStep, v);
    return v;
}

}  // namespace

LineDamage FindLineDamage(const EdgeSurvey &edge, int32_t deepest, int32_t brightDepth) {
    LineDamage found;
    if (edge.Frames().empty() || deepest < 2)
        return found;
    brightDepth = std::min(brightDepth, deepest);
    const LineVerdicts v = JudgeLines(edge, deepest, brightDepth);
    // Damage starts at the edge: lines 1 or 2 onward, with at most one unmarked line between
    // marked ones (two neighbouring rows can be torn alike in a frame).
    int32_t last = 0, tornLines = 0, brightLines = 0;
    for (int32_t n = 1; n <= deepest; ++n) {
        const bool marked = v.torn[size_t(n - 1)] || v.bright[size_t(n - 1)];
        if (marked) {
            last = n;
            tornLines += v.torn[size_t(n - 1)];
            brightLines += v.bright[size_t(n - 1)];
        } else if (n - last > 1) {
            break;
        }
    }
    if (last == 0)
        return found;
    found.lines = last;
    const bool bright = brightLines >= tornLines;
    found.kind = bright ? LineDamageKind::BrightOrFlickering : LineDamageKind::TornOrNoisy;
    found.share = bright ? v.brightShare[size_t(std::min(last, brightDepth) - 1)]
                         : v.tornShare[size_t(last - 1)];
    return found;
}

}  // namespace suggest
