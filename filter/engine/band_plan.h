// The band rules: which of an edge's lines lie in its black, smear and fade bands, where a
// smeared line takes its pixels from, and how a faded line is weighted. The sweeps follow
// these rules and the filter's reach is derived from them; nothing else states them.
//
// Each edge is repaired by one sweep over the lines parallel to it (rows for top and bottom,
// columns for left and right), taken from the edge inward. Lines are counted n = 1, 2, ...
// from the edge; the band rules are stated in the edge's own numbering:
//   top and right:   position p = n, black p <= B, smear and fade from p = B + 1;
//   bottom and left: offset o = n - 1, black o < B, smear and fade from o = B. The line at
//                    offset B, just inside the black band, joins the smear and fade bands
//                    (its fade weight is 0), so no unrepaired line is left between the
//                    black band and the repaired ones.
// Settings may hold any 32-bit value (a script can bring them): band tests and smear
// arithmetic run in 64 bits, where no product overflows and every divisor is positive whenever
// its band holds a line, and a smear source beyond the frame is clamped to the nearest edge
// line.
#pragma once

#include <cstdint>

#include "border_settings.h"

namespace kantora {

enum class Numbering { Position, Offset };

// How the top and right edges count their lines, and how the bottom and left ones do.
constexpr Numbering NumberingOf(Side side) {
    return side == Top || side == Right ? Numbering::Position : Numbering::Offset;
}

// One edge's four values, as the settings hold them.
struct EdgeValues {
    int32_t smear = 0, black = 0, fade = 0, stretch = 0;
};

EdgeValues EdgeValuesOf(const BorderSettings &settings, Side side);
void SetEdgeValues(BorderSettings &settings, Side side, const EdgeValues &values);

// Fade weights with a denominator up to this are done by a 16-bit multiplier.
constexpr int64_t kMaxMultiplierDenominator = 256;

// Scaling a channel c (0..255) by num / den, 0 <= num < den <= 256: c * num / den truncated
// equals (c * m) >> 16 for m = floor(num * 2^16 / den) + 1. The product overshoots c * num /
// den by less than 256 / 2^16 = 1/256, and the fraction of c * num / den is at most
// (den - 1) / den <= 255/256, so the overshoot never reaches the next integer; m < 2^16.
inline uint16_t FadeMultiplier(int64_t num, int64_t den) {
    return static_cast<uint16_t>((num << 16) / den + 1);
}

// table[c] = c * num / den, truncated, for 0 <= num < den (so a channel never grows).
void FillFadeTable(uint8_t *table, int64_t num, int64_t den);

// How one line's pixels are faded: by a multiplier when there is one, else by the table.
struct Fade {
    uint32_t multiplier = 0;  // 0: use the table
    uint8_t table[256];

    void Plan(int64_t num, int64_t den) {
        if (den <= kMaxMultiplierDenominator) {
            multiplier = FadeMultiplier(num, den);
        } else {
            multiplier = 0;
            FillFadeTable(table, num, den);
        }
    }
};

inline uint32_t FadePixel(uint32_t pixel, uint32_t m) {
    return (((pixel >> 16) & 0xFF) * m >> 16) << 16 | (((pixel >> 8) & 0xFF) * m >> 16) << 8 |
           ((pixel & 0xFF) * m >> 16);
}

inline uint32_t FadePixel(uint32_t pixel, const uint8_t *table) {
    return uint32_t{table[(pixel >> 16) & 0xFF]} << 16 | uint32_t{table[(pixel >> 8) & 0xFF]} << 8 |
           uint32_t{table[pixel & 0xFF]};
}

// The bands of one line, its smear source and its fade weight.
struct LinePlan {
    bool black = false;
    bool smear = false;
    bool fade = false;
    int32_t sourceLine = 0;            // line count n of the smear source, 1..extent
    int64_t fadeNum = 0, fadeDen = 0;  // the fade weight
};

// Lines beyond this count lie in none of the edge's bands.
int32_t LinesToVisit(Numbering numbering, const EdgeValues &v, int32_t extent);

// The bands of line n (a line count, 1..extent).
LinePlan PlanLine(Numbering numbering, int32_t n, int32_t extent, const EdgeValues &v);

// Memory index of the n-th line from the edge: top rows and right columns count down from
// the far end, bottom rows and left columns up from zero.
inline int32_t IndexOfLine(Numbering numbering, int32_t n, int32_t extent) {
    return numbering == Numbering::Position ? extent - n : n - 1;
}

// How far one edge's sweep reaches into `extent` lines: the deepest line it changes (a line
// smeared from itself and not faded keeps its value), and the deepest line that any changed
// line takes its value from, never less than the first.
struct EdgeReach {
    int32_t changes = 0, reads = 0;
};
EdgeReach ReachOfEdge(Numbering numbering, const EdgeValues &v, int32_t extent);

}  // namespace kantora
