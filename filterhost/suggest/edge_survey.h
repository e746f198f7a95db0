// What the frames show at one edge, line by line, kept frame by frame so that the rules can
// compare each line with the lines further in and with itself in other frames.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "edge_lines.h"

namespace suggest {

// One frame's measurements of lines 1..count at one edge; index n - 1 for line n.
struct FrameLines {
    std::vector<float> level;  // mean brightness of the line
    // |line n - line n+1| pixel by pixel, the mean of its smaller three quarters (last
    // line: 0)
    std::vector<float> step;
    // the same of that difference's change since the frame before (empty in the first frame)
    std::vector<float> change;
    // the same of the line's own change since the frame before (empty in the first frame)
    std::vector<float> motion;
    // |pixel - the next pixel along the line|, the same: the line's fine detail and noise
    std::vector<float> noise;
    // the colour's difference from line n+1 (blue and red chroma, summed) and along the line,
    // the same: zero in grey picture, where noise in B, G and R apart stands out
    std::vector<float> colourStep, colourNoise;
    // the share of the difference from line n+1 that moving line n sideways removes, by the
    // amount that removes most (last line: 0): a row torn sideways against the picture
    std::vector<float> shift;
};

// Lines are moved sideways against the next by up to this share of their length, 16 pixels at
// 720: the difference between neighbouring torn rows' shifts.
constexpr int32_t kShiftReachDivisor = 45;
// The pixels compared are taken in blocks along the line, and what the shift that brings the
// whole line nearest removes is that of the median block: a still graphic over part of the
// line (a checkered badge, whose pattern repeats sideways) or a slanted edge of an object does
// not count, while a row torn as a whole does.
constexpr int32_t kShiftBlocks = 16, kShortestShiftBlock = 8;
// The share of line `a`'s |difference| from line `b` that moving it sideways removes, by the
// amount up to `reach` either way that removes most, in the median block: at most 1.
float ShiftGain(const uint8_t *a, const uint8_t *b, int32_t length, int32_t reach);

// Dark runs from the edge along each line across it (each row, for a side edge).
struct DarkRuns {
    // widths[w]: runs exactly w lines wide that end in a clear step up to brighter picture;
    // widths[0] counts rows that start bright.
    std::vector<int64_t> widths;
    int64_t unclear = 0;  // dark at the edge, but no clear end within the lines looked at
    int64_t rows = 0;
    // Rows whose edge pixel lies near its frame's median edge pixel, as a band's pixels do.
    int64_t evenAtEdge = 0;
    // atEdgeLevel[n - 1]: rows whose pixel on line n lies within its frame's edge level and
    // spread (the median and spread of the edge line's pixels).
    std::vector<int64_t> atEdgeLevel;
    // change[n - 1]: over the rows of every frame but the first, how much the pixel on line n
    // changed since the frame before, summed; changeRows: how many rows that is. A band's
    // pixels change by its own noise, the picture's by its grain and motion, and over the
    // band's ragged end pixels turn from band to picture and back.
    std::vector<int64_t> change;
    int64_t changeRows = 0;
    // Rows whose edge pixel is dark.
    int64_t darkAtEdge = 0;
};

// A dark run's pixels stay within this of the run's mean (grain on a dark band).
constexpr int kEvenWithin = 16;

// Width of the dark run that starts at the edge in `values[0..count)` (values[i] lies i lines
// in): 0 when the edge pixel is not dark, -1 when the run has no clear end in the range.
int32_t DarkRunWidth(const uint8_t *values, int32_t count, int evenWithin);

class EdgeSurvey {
public:
    // `lines`: how many lines from the edge are read; `measuresLines`: whether each line is
    // measured (FrameLines); `darkDepth`: how far in a dark run may end, 0 for no dark-run
    // measurement at this edge.
    EdgeSurvey(int32_t lines, bool measuresLines, int32_t darkDepth);
    void Add(const EdgeLines &lines);

    int32_t Lines() const { return lines_; }
    bool MeasuresLines() const { return measuresLines_; }
    // Lines whose strongest channel the dark runs need: a run may end on the dark depth's
    // line and must be followed by two lines to show its step.
    int32_t DarkSpan() const { return darkDepth_ == 0 ? 0 : std::min(darkDepth_ + 2, lines_); }
    const std::vector<FrameLines> &Frames() const { return frames_; }
    const DarkRuns &Runs() const { return runs_; }

private:
    void AddLines(const EdgeLines &lines);
    void AddDarkRuns(const EdgeLines &lines);

    int32_t lines_, darkDepth_;
    bool measuresLines_;
    std::vector<FrameLines> frames_;
    std::vector<int16_t> previousSteps_;  // line differences of the frame before, line-major
    std::vector<uint8_t> previousLines_;  // the lines of the frame before, line-major
    DarkRuns runs_;
    std::vector<uint8_t> across_;
    std::vector<uint8_t> previousDark_;  // the dark-run lines of the frame before, line-major
};

}  // namespace suggest
