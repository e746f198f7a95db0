#include "band_plan.h"

#include <algorithm>

#include "reach.h"

namespace kantora {

EdgeValues EdgeValuesOf(const BorderSettings &s, Side side) {
    EdgeValues v;
    v.smear = s.smearRegion[side];
    v.black = s.blackRegion[side];
    v.fade = s.fadeRegion[side];
    v.stretch = s.stretchFactor[side];
    return v;
}

void SetEdgeValues(BorderSettings &s, Side side, const EdgeValues &v) {
    s.smearRegion[side] = v.smear;
    s.blackRegion[side] = v.black;
    s.fadeRegion[side] = v.fade;
    s.stretchFactor[side] = v.stretch;
}

// Built by stepping c * num one num at a time, which needs no division and never overflows:
// the remainder stays below den + num < 2^33.
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

int32_t LinesToVisit(Numbering numbering, const EdgeValues &v, int32_t extent) {
    const int64_t black = v.black, fade = v.fade;
    const int64_t smearEnd = int64_t{v.smear} + v.stretch;  // first line number past the smear
    int64_t count = numbering == Numbering::Position ? std::max({black, smearEnd - 1, fade - 1})
                                                     : std::max({black, smearEnd, fade});
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, extent));
}

LinePlan PlanLine(Numbering numbering, int32_t n, int32_t extent, const EdgeValues &v) {
    const int64_t black = v.black, smear = v.smear, stretch = v.stretch, fade = v.fade;
    const int64_t smearEnd = smear + stretch;
    LinePlan plan;
    if (numbering == Numbering::Position) {
        const int64_t p = n;
        plan.black = p <= black;
        if (plan.black)
            return plan;
        // Here B < p, so the divisor S + T - B exceeds p - B > 0 whenever the smear applies.
        if (p < smearEnd) {
            const int64_t q = smear + (stretch + 1) * (p - black) / (smearEnd - black);
            plan.smear = true;
            plan.sourceLine = static_cast<int32_t>(std::clamp<int64_t>(q, 1, extent));
        }
        plan.fade = p < fade;
        plan.fadeNum = p - black;
    } else {
        const int64_t o = n - 1;
        plan.black = o < black;
        if (plan.black)
            return plan;
        // Here 0 <= o < S + T whenever the smear applies, so its divisor is positive.
        if (o < smearEnd) {
            const int64_t q = smear + (stretch + 1) * o / smearEnd;
            plan.smear = true;
            plan.sourceLine = static_cast<int32_t>(std::clamp<int64_t>(q, 0, extent - 1) + 1);
        }
        plan.fade = o < fade;
        plan.fadeNum = o - black;
    }
    plan.fadeDen = fade - black;
    return plan;
}

// A line keeps its value only when it is smeared from itself, or in no band, and not faded: a
// black line takes the colour, a fade always clears bits 24-31, and a line smeared from
// another takes that line's pixels. A smear source never holds what the line held: sources
// move monotonically with the line, so a source the sweep wrote earlier took its own pixels
// from a line on the same side, never from the line itself.
EdgeReach ReachOfEdge(Numbering numbering, const EdgeValues &v, int32_t extent) {
    EdgeReach reach;
    const int32_t count = LinesToVisit(numbering, v, extent);
    for (int32_t n = 1; n <= count; ++n) {
        const LinePlan plan = PlanLine(numbering, n, extent, v);
        const bool moved = plan.smear && plan.sourceLine != n;
        if (plan.black || plan.fade || moved)
            reach.changes = n;
        if (moved)
            reach.reads = std::max(reach.reads, plan.sourceLine);
    }
    reach.reads = std::max(reach.reads, reach.changes);
    return reach;
}

BorderReach ReachOf(const BorderSettings &settings, int32_t width, int32_t height) {
    BorderReach reach;
    if (width <= 0 || height <= 0)
        return reach;
    const auto edge = [&](Side side) {
        const int32_t extent = side == Top || side == Bottom ? height : width;
        return ReachOfEdge(NumberingOf(side), EdgeValuesOf(settings, side), extent);
    };
    const EdgeReach top = edge(Top), bottom = edge(Bottom), left = edge(Left), right = edge(Right);
    reach.changes = {top.changes, bottom.changes, left.changes, right.changes};
    reach.reads = {top.reads, bottom.reads, left.reads, right.reads};
    return reach;
}

}  // namespace kantora
