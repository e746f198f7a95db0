#include "border_process.h"

#include <algorithm>
#include <cstring>

// Each edge is repaired by one sweep over the lines parallel to it (rows for top and bottom,
// columns for left and right), taken from the edge inward. Lines are counted n = 1, 2, ...
// from the edge; the band rules are stated in the edge's own numbering:
//   top and right:   position p = n, black p <= B, smear and fade from p = B + 1;
//   bottom and left: offset o = n - 1, black o < B, smear and fade from o = B + 1, so the
//                    line at offset B lies in no band and keeps its value.
// Only the lines that can lie in a band are visited. Settings may hold any 32-bit value (a
// script can bring them): band tests and smear arithmetic run in 64 bits, where no product
// overflows and every divisor is positive whenever its band holds a line, and a smear source
// beyond the frame is clamped to the nearest edge line.

namespace {

enum class Numbering { Position, Offset };

struct EdgeValues {
    int64_t black, smear, stretch, fade;
};

EdgeValues ValuesOf(const BorderSettings &settings, Side side) {
    return {settings.blackRegion[side], settings.smearRegion[side], settings.stretchFactor[side],
            settings.fadeRegion[side]};
}

struct LinePlan {
    bool black = false;
    bool smear = false;
    bool fade = false;
    int32_t sourceLine = 0;  // line count n of the smear source, 1..extent
    uint8_t fadeTable[256];  // channel -> faded channel
};

// Lines beyond this count lie in none of the edge's bands.
int32_t LinesToVisit(Numbering numbering, const EdgeValues &v, int32_t extent) {
    const int64_t smearEnd = v.smear + v.stretch;  // first line number past the smear band
    int64_t count = numbering == Numbering::Position
                        ? std::max({v.black, smearEnd - 1, v.fade - 1})
                        : std::max({v.black, smearEnd, v.fade});
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, extent));
}

// table[c] = c * num / den, truncated, for the weight num / den with 0 < num < den (so a
// channel never grows). Built by stepping c * num one num at a time, which needs no division
// and never overflows: the remainder stays below den + num < 2^33.
void FillFadeTable(uint8_t *table, int64_t num, int64_t den) {
    const uint64_t step = static_cast<uint64_t>(num), divisor = static_cast<uint64_t>(den);
    uint64_t remainder = 0;
    uint8_t quotient = 0;
    table[0] = 0;
    for (int c = 1; c < 256; ++c) {
        remainder += step;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++quotient;
        }
        table[c] = quotient;
    }
}

void PlanLine(Numbering numbering, int32_t n, int32_t extent, const EdgeValues &v,
              LinePlan &plan) {
    const int64_t smearEnd = v.smear + v.stretch;
    plan.smear = plan.fade = false;
    int64_t fadeNum = 0;
    if (numbering == Numbering::Position) {
        const int64_t p = n;
        plan.black = p <= v.black;
        if (plan.black)
            return;
        // Here B < p, so the divisor S + T - B exceeds p - B > 0 whenever the smear applies.
        if (p < smearEnd) {
            const int64_t q = v.smear + (v.stretch + 1) * (p - v.black) / (smearEnd - v.black);
            plan.smear = true;
            plan.sourceLine = static_cast<int32_t>(std::clamp<int64_t>(q, 1, extent));
        }
        plan.fade = p < v.fade;
        fadeNum = p - v.black;
    } else {
        const int64_t o = n - 1;
        plan.black = o < v.black;
        if (plan.black || o < v.black + 1)
            return;
        // Here 0 <= o < S + T whenever the smear applies, so its divisor is positive.
        if (o < smearEnd) {
            const int64_t q = v.smear + (v.stretch + 1) * o / smearEnd;
            plan.smear = true;
            plan.sourceLine = static_cast<int32_t>(std::clamp<int64_t>(q, 0, extent - 1) + 1);
        }
        plan.fade = o < v.fade;
        fadeNum = o - v.black;
    }
    if (plan.fade)
        FillFadeTable(plan.fadeTable, fadeNum, v.fade - v.black);
}

inline uint32_t Fade(uint32_t pixel, const uint8_t *table) {
    return uint32_t{table[(pixel >> 16) & 0xFF]} << 16 | uint32_t{table[(pixel >> 8) & 0xFF]} << 8 |
           uint32_t{table[pixel & 0xFF]};
}

struct Frame {
    uint32_t *pixels;
    ptrdiff_t pitch;  // bytes
    int32_t width, height;

    uint32_t *Row(int32_t y) const {
        return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(pixels) + y * pitch);
    }
};

// Memory index of the n-th line from the edge: top rows and right columns count down from
// the far end, bottom rows and left columns up from zero.
inline int32_t IndexOfLine(Numbering numbering, int32_t n, int32_t extent) {
    return numbering == Numbering::Position ? extent - n : n - 1;
}

void SweepRows(const Frame &frame, Numbering numbering, const EdgeValues &v, uint32_t colour) {
    const int32_t extent = frame.height;
    const int32_t count = LinesToVisit(numbering, v, extent);
    const size_t rowBytes = size_t(frame.width) * sizeof(uint32_t);
    LinePlan plan;
    for (int32_t n = 1; n <= count; ++n) {
        PlanLine(numbering, n, extent, v, plan);
        uint32_t *row = frame.Row(IndexOfLine(numbering, n, extent));
        if (plan.black) {
            std::fill(row, row + frame.width, colour);
            continue;
        }
        if (plan.smear && plan.sourceLine != n)
            std::memcpy(row, frame.Row(IndexOfLine(numbering, plan.sourceLine, extent)), rowBytes);
        if (plan.fade)
            for (int32_t x = 0; x < frame.width; ++x)
                row[x] = Fade(row[x], plan.fadeTable);
    }
}

// Rows do not depend on one another, so the band columns are planned a batch at a time and
// each batch is applied to every row; within a row the columns still go edge-inward.
void SweepColumns(const Frame &frame, Numbering numbering, const EdgeValues &v, uint32_t colour) {
    constexpr int32_t kBatch = 32;
    const int32_t extent = frame.width;
    const int32_t count = LinesToVisit(numbering, v, extent);
    LinePlan plans[kBatch];
    int32_t columns[kBatch];
    int32_t sourceColumns[kBatch];
    for (int32_t first = 1; first <= count; first += kBatch) {
        const int32_t lines = std::min(kBatch, count - first + 1);
        for (int32_t i = 0; i < lines; ++i) {
            PlanLine(numbering, first + i, extent, v, plans[i]);
            columns[i] = IndexOfLine(numbering, first + i, extent);
            sourceColumns[i] = plans[i].smear
                                   ? IndexOfLine(numbering, plans[i].sourceLine, extent)
                                   : columns[i];
        }
        for (int32_t y = 0; y < frame.height; ++y) {
            uint32_t *row = frame.Row(y);
            for (int32_t i = 0; i < lines; ++i) {
                const LinePlan &plan = plans[i];
                if (plan.black) {
                    row[columns[i]] = colour;
                } else if (plan.fade) {
                    row[columns[i]] = Fade(row[sourceColumns[i]], plan.fadeTable);
                } else {
                    row[columns[i]] = row[sourceColumns[i]];
                }
            }
        }
    }
}

void TopBottomPass(const Frame &frame, const BorderSettings &s) {
    SweepRows(frame, Numbering::Position, ValuesOf(s, Top), s.borderColour);
    SweepRows(frame, Numbering::Offset, ValuesOf(s, Bottom), s.borderColour);
}

void SidePass(const Frame &frame, const BorderSettings &s) {
    SweepColumns(frame, Numbering::Position, ValuesOf(s, Right), s.borderColour);
    SweepColumns(frame, Numbering::Offset, ValuesOf(s, Left), s.borderColour);
}

}  // namespace

void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                  int32_t width, int32_t height, const BorderSettings &settings) {
    if (width <= 0 || height <= 0)
        return;
    const size_t rowBytes = size_t(width) * sizeof(uint32_t);
    for (int32_t y = 0; y < height; ++y) {
        const char *from = reinterpret_cast<const char *>(src) + y * srcPitch;
        char *to = reinterpret_cast<char *>(dst) + y * dstPitch;
        if (from != to)
            std::memcpy(to, from, rowBytes);
    }
    const Frame frame{dst, dstPitch, width, height};
    if (settings.processTopBottomFirst) {
        TopBottomPass(frame, settings);
        SidePass(frame, settings);
    } else {
        SidePass(frame, settings);
        TopBottomPass(frame, settings);
    }
}
