#include "edge_survey.h"

#include <algorithm>
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
    frame.level.assign(size_t(lines_), 0.0f);
    frame.step.assign(size_t(lines_), 0.0f);
    const bool hasPrevious = !previousSteps_.empty();
    if (hasPrevious) {
        frame.change.assign(size_t(lines_), 0.0f);
        frame.motion.assign(size_t(lines_), 0.0f);
    }
    previousSteps_.resize(size_t(lines_) * size_t(length));
    previousLines_.resize(size_t(lines_) * size_t(length));
    TrimmedMean steps, changes, motions;
    for (int32_t n = 1; n <= lines_; ++n) {
        const uint8_t *line = lines.Line(n);
        uint8_t *before = previousLines_.data() + size_t(n - 1) * size_t(length);
        int64_t levelSum = 0;
        for (int32_t x = 0; x < length; ++x) {
            levelSum += line[x];
            motions.Add(std::abs(int(line[x]) - int(before[x])));
            before[x] = line[x];
        }
        frame.level[size_t(n - 1)] = float(levelSum) / float(length);
        const float motion = motions.Take(length);
        if (hasPrevious)
            frame.motion[size_t(n - 1)] = motion;
        if (n == lines_)
            break;
        const uint8_t *inner = lines.Line(n + 1);
        int16_t *previous = previousSteps_.data() + size_t(n - 1) * size_t(length);
        for (int32_t x = 0; x < length; ++x) {
            const int16_t d = int16_t(int(line[x]) - int(inner[x]));
            steps.Add(std::abs(d));
            changes.Add(std::abs(d - previous[x]));
            previous[x] = d;
        }
        frame.step[size_t(n - 1)] = steps.Take(length);
        const float change = changes.Take(length);
        if (hasPrevious)
            frame.change[size_t(n - 1)] = change;
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
