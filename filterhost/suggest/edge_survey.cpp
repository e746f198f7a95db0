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
constexpr int kEvenWithin = 16;
constexpr int kClearStep = 24;

}  // namespace

int32_t DarkRunWidth(const uint8_t *values, int32_t count) {
    if (count < 3 || values[0] > kDarkMost)
        return 0;
    int sum = 0;
    for (int32_t i = 0; i + 2 < count; ++i) {
        sum += values[i];
        const int mean = sum / (i + 1);
        const int a = std::abs(values[i + 1] - mean), b = std::abs(values[i + 2] - mean);
        if (a >= kClearStep && b >= kClearStep)
            return i + 1;
        if (a > kEvenWithin || values[i + 1] > kDarkMost)
            return -1;
    }
    return -1;
}

EdgeSurvey::EdgeSurvey(int32_t lines, int32_t darkDepth) : lines_(lines), darkDepth_(darkDepth) {
    runs_.widths.assign(size_t(darkDepth) + 1, 0);
}

void EdgeSurvey::Add(const EdgeLines &lines) {
    const int32_t length = lines.Length();
    FrameLines frame;
    frame.level.assign(size_t(lines_), 0.0f);
    frame.step.assign(size_t(lines_), 0.0f);
    const bool hasPrevious = !previousSteps_.empty();
    if (hasPrevious)
        frame.change.assign(size_t(lines_), 0.0f);
    previousSteps_.resize(size_t(lines_) * size_t(length));
    for (int32_t n = 1; n <= lines_; ++n) {
        const uint8_t *line = lines.Line(n);
        int64_t levelSum = 0;
        for (int32_t x = 0; x < length; ++x)
            levelSum += line[x];
        frame.level[size_t(n - 1)] = float(levelSum) / float(length);
        if (n == lines_)
            break;
        const uint8_t *inner = lines.Line(n + 1);
        int16_t *previous = previousSteps_.data() + size_t(n - 1) * size_t(length);
        int64_t stepSum = 0, changeSum = 0;
        for (int32_t x = 0; x < length; ++x) {
            const int16_t d = int16_t(int(line[x]) - int(inner[x]));
            stepSum += std::abs(d);
            changeSum += std::abs(d - previous[x]);
            previous[x] = d;
        }
        frame.step[size_t(n - 1)] = float(stepSum) / float(length);
        if (hasPrevious)
            frame.change[size_t(n - 1)] = float(changeSum) / float(length);
    }
    frames_.push_back(std::move(frame));

    if (darkDepth_ == 0)
        return;
    const int32_t span = DarkSpan();
    across_.resize(size_t(span));
    for (int32_t y = 0; y < length; ++y) {
        for (int32_t n = 1; n <= span; ++n)
            across_[size_t(n - 1)] = lines.StrongestLine(n)[y];
        const int32_t width = DarkRunWidth(across_.data(), span);
        ++runs_.rows;
        if (width < 0 || width > darkDepth_)
            ++runs_.unclear;
        else
            ++runs_.widths[size_t(width)];
    }
}

}  // namespace suggest
