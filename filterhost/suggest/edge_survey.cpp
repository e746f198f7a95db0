#include "edge_survey.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace suggest {

namespace {

// A dark run is black to dark grey and even: each pixel stays near the run's mean, within
// what grain on a dark band gives. It ends clearly where the next two pixels both lie well
// away from that mean, brighter or darker (dark picture beside a grey band); a departure
// between the two is unclear, and so is a run that reaches the end of the range.
constexpr int kDarkMost = 80;
constexpr int kClearStep = 24;
// A pixel keeps the edge's level when it lies within this many of the edge line's spreads
// of it, and at least this close.
constexpr double kLevelSpreads = 3.0;
constexpr int kLeastLevelWithin = 3;
constexpr int kLeastRunWithin = 6;

// The median of values 0..255 given by their counts, `total` in all.
int MedianOfCounts(const int64_t counts[256], int64_t total) {
    int64_t seen = 0;
    for (int v = 0; v < 256; ++v)
        if ((seen += counts[v]) * 2 >= total)
            return v;
    return 255;
}

}  // namespace

float ShiftGain(const uint8_t *a, const uint8_t *b, int32_t length, int32_t reach) {
    const int32_t block = (length - 2 * reach) / kShiftBlocks;
    if (reach < 1 || block < kShortestShiftBlock)
        return 0.0f;
    using Sums = std::array<uint32_t, kShiftBlocks>;
    const uint8_t *middle = a + reach;
    // The blocks' sums of |difference| with line b moved by d, and their total.
    auto blockSums = [&](int32_t d, Sums &sums) {
        const uint8_t *moved = b + reach + d;
        uint32_t total = 0;
        for (int32_t k = 0; k < kShiftBlocks; ++k) {
            const uint8_t *p = middle + k * block, *q = moved + k * block;
            uint32_t sum = 0;
            for (int32_t x = 0; x < block; ++x)
                sum += uint32_t(std::abs(int(p[x]) - int(q[x])));
            sums[size_t(k)] = sum;
            total += sum;
        }
        return total;
    };
    Sums still{}, nearest{}, sums{};
    uint32_t best = blockSums(0, still);
    nearest = still;
    for (int32_t d = -reach; d <= reach; ++d) {
        if (d == 0)
            continue;
        const uint32_t total = blockSums(d, sums);
        if (total < best) {
            best = total;
            nearest = sums;
        }
    }
    // How much of each block's difference that shift removes, in the median block.
    std::array<float, kShiftBlocks> removed{};
    for (size_t k = 0; k < kShiftBlocks; ++k)
        removed[k] = still[k] == 0 ? 0.0f : 1.0f - float(nearest[k]) / float(still[k]);
    std::nth_element(removed.begin(), removed.begin() + kShiftBlocks / 2, removed.end());
    return removed[kShiftBlocks / 2];
}

int32_t DarkRunWidth(const uint8_t *values, int32_t count, int evenWithin) {
    if (count < 3 || values[0] > kDarkMost)
        return 0;
    int sum = 0;
    for (int32_t i = 0; i + 2 < count; ++i) {
        sum += values[i];
        const int mean = sum / (i + 1);
        const int a = std::abs(values[i + 1] - mean), b = std::abs(values[i + 2] - mean);
        if (a >= kClearStep && b >= kClearStep)
            return i + 1;
        if (a > evenWithin || values[i + 1] > kDarkMost)
            return -1;
    }
    return -1;
}

EdgeSurvey::EdgeSurvey(int32_t lines, bool measuresLines, int32_t darkDepth)
    : lines_(lines), darkDepth_(darkDepth), measuresLines_(measuresLines) {
    runs_.widths.assign(size_t(darkDepth) + 1, 0);
}

namespace {

// Of a line's pixel differences, the mean of the smaller three quarters: a still graphic or
// an object over part of the line does not move it, a tear or noise along the line does.
class TrimmedMean {
public:
    void Add(int value) { ++counts_[std::min(value, 255)]; }
    float Take(int32_t count) {
        const int64_t kept = std::max<int64_t>(1, int64_t(count) * 3 / 4);
        int64_t left = kept, sum = 0;
        for (int v = 0; v < 256 && left > 0; ++v) {
            const int64_t take = std::min(left, counts_[v]);
            sum += take * v;
            left -= take;
        }
        std::fill(std::begin(counts_), std::end(counts_), 0);
        return float(sum) / float(kept);
    }

private:
    int64_t counts_[256] = {};
};

}  // namespace

void EdgeSurvey::Add(const EdgeLines &lines) {
    if (measuresLines_)
        AddLines(lines);
    if (darkDepth_ > 0)
        AddDarkRuns(lines);
}

void EdgeSurvey::AddLines(const EdgeLines &lines) {
    const int32_t length = lines.Length();
    FrameLines frame;
    for (std::vector<float> *v : {&frame.level, &frame.step, &frame.noise, &frame.colourStep,
                                  &frame.colourNoise, &frame.shift})
        v->assign(size_t(lines_), 0.0f);
    const bool hasPrevious = !previousSteps_.empty();
    if (hasPrevious) {
        frame.change.assign(size_t(lines_), 0.0f);
        frame.motion.assign(size_t(lines_), 0.0f);
    }
    previousSteps_.resize(size_t(lines_) * size_t(length));
    previousLines_.resize(size_t(lines_) * size_t(length));
    TrimmedMean steps, changes, motions, noises, colourSteps, colourNoises;
    for (int32_t n = 1; n <= lines_; ++n) {
        const uint8_t *line = lines.Line(n), *blue = lines.BlueLine(n), *red = lines.RedLine(n);
        uint8_t *before = previousLines_.data() + size_t(n - 1) * size_t(length);
        int64_t levelSum = 0;
        for (int32_t x = 0; x < length; ++x) {
            levelSum += line[x];
            motions.Add(std::abs(int(line[x]) - int(before[x])));
            before[x] = line[x];
        }
        for (int32_t x = 0; x + 1 < length; ++x) {
            noises.Add(std::abs(int(line[x]) - int(line[x + 1])));
            colourNoises.Add(std::abs(int(blue[x]) - int(blue[x + 1])) +
                             std::abs(int(red[x]) - int(red[x + 1])));
        }
        const size_t at = size_t(n - 1);
        frame.level[at] = float(levelSum) / float(length);
        frame.noise[at] = noises.Take(length - 1);
        frame.colourNoise[at] = colourNoises.Take(length - 1);
        const float motion = motions.Take(length);
        if (hasPrevious)
            frame.motion[at] = motion;
        if (n == lines_)
            break;
        const uint8_t *inner = lines.Line(n + 1), *innerBlue = lines.BlueLine(n + 1),
                      *innerRed = lines.RedLine(n + 1);
        int16_t *previous = previousSteps_.data() + at * size_t(length);
        for (int32_t x = 0; x < length; ++x) {
            const int16_t d = int16_t(int(line[x]) - int(inner[x]));
            steps.Add(std::abs(d));
            changes.Add(std::abs(d - previous[x]));
            previous[x] = d;
            colourSteps.Add(std::abs(int(blue[x]) - int(innerBlue[x])) +
                            std::abs(int(red[x]) - int(innerRed[x])));
        }
        frame.step[at] = steps.Take(length);
        frame.shift[at] = ShiftGain(line, inner, length, std::max(1, length / kShiftReachDivisor));
        frame.colourStep[at] = colourSteps.Take(length);
        const float change = changes.Take(length);
        if (hasPrevious)
            frame.change[at] = change;
    }
    frames_.push_back(std::move(frame));
}

void EdgeSurvey::AddDarkRuns(const EdgeLines &lines) {
    const int32_t length = lines.Length();
    const int32_t span = DarkSpan();
    across_.resize(size_t(span));
    // The edge line's level in this frame (its median) and spread (its median absolute
    // deviation): a band's level and grain where there is one.
    int64_t edgeValues[256] = {};
    const uint8_t *edgeLine = lines.StrongestLine(1);
    for (int32_t y = 0; y < length; ++y)
        ++edgeValues[edgeLine[y]];
    const int level = MedianOfCounts(edgeValues, length);
    int64_t deviations[256] = {};
    for (int v = 0; v < 256; ++v)
        deviations[std::abs(v - level)] += edgeValues[v];
    const int spread = MedianOfCounts(deviations, length);
    const int within = std::max(kLeastLevelWithin, int(kLevelSpreads * 1.4826 * spread + 0.5));

    for (int v = std::max(0, level - kEvenWithin); v <= std::min(255, level + kEvenWithin); ++v)
        runs_.evenAtEdge += edgeValues[v];
    for (int v = 0; v <= kDarkMost; ++v)
        runs_.darkAtEdge += edgeValues[v];
    runs_.atEdgeLevel.resize(size_t(span), 0);
    runs_.change.resize(size_t(span), 0);
    const bool hasPrevious = !previousDark_.empty();
    previousDark_.resize(size_t(span) * size_t(length));
    for (int32_t n = 1; n <= span; ++n) {
        const uint8_t *line = lines.StrongestLine(n);
        uint8_t *before = previousDark_.data() + size_t(n - 1) * size_t(length);
        int64_t atLevel = 0, change = 0;
        for (int32_t y = 0; y < length; ++y) {
            atLevel += std::abs(int(line[y]) - level) <= within;
            change += std::abs(int(line[y]) - int(before[y]));
            before[y] = line[y];
        }
        runs_.atEdgeLevel[size_t(n - 1)] += atLevel;
        if (hasPrevious)
            runs_.change[size_t(n - 1)] += change;
    }
    if (hasPrevious)
        runs_.changeRows += length;
    for (int32_t y = 0; y < length; ++y) {
        for (int32_t n = 1; n <= span; ++n)
            across_[size_t(n - 1)] = lines.StrongestLine(n)[y];
        const int32_t width =
            DarkRunWidth(across_.data(), span, std::clamp(within, kLeastRunWithin, kEvenWithin));
        ++runs_.rows;
        if (width < 0 || width > darkDepth_)
            ++runs_.unclear;
        else
            ++runs_.widths[size_t(width)];
    }
}

}  // namespace suggest
