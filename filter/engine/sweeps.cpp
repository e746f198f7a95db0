#include "sweeps.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace kantora {

// ---------------------------------------------------------------------------------------------
// Top and bottom.

bool RowSweep::Plan(Numbering numbering, const EdgeValues &v, int32_t height, uint32_t colour,
                    FadeRowKernel fadeRow, PlanSpace &space) {
    numbering_ = numbering;
    colour_ = colour;
    fadeRow_ = fadeRow;
    count_ = reach_ = LinesToVisit(numbering, v, height);
    lines_ = count_ <= kMaxPlannedLines ? space.Take<RowLine>(count_) : nullptr;
    if (lines_ == nullptr)
        return false;
    for (int32_t n = 1; n <= count_; ++n) {
        const LinePlan plan = PlanLine(numbering, n, height, v);
        RowLine &line = lines_[n - 1];
        line.multiplier = 0;
        if (plan.black) {
            line.source = 0;
            line.replaced = true;
            continue;
        }
        if (plan.fade) {
            if (plan.fadeDen > kMaxMultiplierDenominator)
                return false;
            line.multiplier = FadeMultiplier(plan.fadeNum, plan.fadeDen);
        }
        line.source = plan.smear ? plan.sourceLine : n;
        line.replaced = line.source != n;
        reach_ = std::max(reach_, line.source);
    }
    // Lines read before the sweep gets there must be there to read.
    for (int32_t n = 1; n <= count_; ++n) {
        const int32_t source = lines_[n - 1].source;
        if (source > n && source <= count_)
            lines_[source - 1].replaced = false;
    }
    return true;
}

void RowSweep::Sweep(const Frame &in, const Frame &out) const {
    const int32_t extent = out.height;
    const size_t rowBytes = size_t(out.width) * sizeof(uint32_t);
    for (int32_t n = 1; n <= count_; ++n) {
        const RowLine &line = lines_[n - 1];
        uint32_t *row = out.Row(IndexOfLine(numbering_, n, extent));
        if (line.source == 0) {
            std::fill(row, row + out.width, colour_);
            continue;
        }
        const Frame &holder = line.source < n ? out : in;
        const uint32_t *from = holder.Row(IndexOfLine(numbering_, line.source, extent));
        if (line.multiplier != 0)
            fadeRow_(row, from, out.width, line.multiplier);
        else if (from != row)
            std::memcpy(row, from, rowBytes);
    }
}

namespace {

// to[x] = faded from[x], by either form of weight.
void FadeRow(uint32_t *to, const uint32_t *from, int32_t width, const Fade &fade,
             FadeRowKernel fadeRow) {
    if (fade.multiplier != 0) {
        fadeRow(to, from, width, fade.multiplier);
        return;
    }
    for (int32_t x = 0; x < width; ++x)
        to[x] = FadePixel(from[x], fade.table);
}

}  // namespace

void SweepRowsLineByLine(const Frame &frame, Numbering numbering, const EdgeValues &v,
                         uint32_t colour, FadeRowKernel fadeRow) {
    const int32_t extent = frame.height, count = LinesToVisit(numbering, v, extent);
    const size_t rowBytes = size_t(frame.width) * sizeof(uint32_t);
    Fade weight;
    for (int32_t n = 1; n <= count; ++n) {
        const LinePlan plan = PlanLine(numbering, n, extent, v);
        uint32_t *row = frame.Row(IndexOfLine(numbering, n, extent));
        if (plan.black) {
            std::fill(row, row + frame.width, colour);
            continue;
        }
        const int32_t source = plan.smear ? plan.sourceLine : n;
        const uint32_t *from = frame.Row(IndexOfLine(numbering, source, extent));
        if (plan.fade) {
            weight.Plan(plan.fadeNum, plan.fadeDen);
            FadeRow(row, from, frame.width, weight, fadeRow);
        } else if (from != row) {
            std::memcpy(row, from, rowBytes);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Left and right.

bool SideSweep::Plan(Numbering numbering, const EdgeValues &v, int32_t width, uint32_t colour,
                     const BorderKernels &kernels, PlanSpace &space) {
    const int32_t count = LinesToVisit(numbering, v, width);
    lines_ = count <= kMaxPlannedLines ? space.Take<SideLine>(count) : nullptr;
    if (lines_ == nullptr)
        return false;
    colour_ = colour;
    lineCount_ = count;
    blackLines_ = 0;
    bool readsOnlyLinesAhead = true;
    for (int32_t n = 1; n <= count; ++n) {
        const LinePlan plan = PlanLine(numbering, n, width, v);
        SideLine &line = lines_[n - 1];
        line.column = line.source = IndexOfLine(numbering, n, width);
        line.multiplier = 0;
        if (plan.black) {
            ++blackLines_;  // black lines are the first ones
            continue;
        }
        if (plan.fade) {
            if (plan.fadeDen > kMaxMultiplierDenominator)
                return false;
            line.multiplier = FadeMultiplier(plan.fadeNum, plan.fadeDen);
        }
        const int32_t sourceLine = plan.smear ? plan.sourceLine : n;
        readsOnlyLinesAhead &= sourceLine >= n;
        line.source = IndexOfLine(numbering, sourceLine, width);
    }
    // Operations that work on the pixels as they stood before the sweep can run four at a
    // time; the last group is filled up with lines that keep their value, which must lie
    // inside the row.
    groupCount_ = (lineCount_ + 3) / 4;
    grouped_ =
        kernels.sideGroupsOnBlock != nullptr && readsOnlyLinesAhead && groupCount_ * 4 <= width;
    if (!grouped_)
        return true;
    groups_ = space.Take<SideGroup>(groupCount_);
    if (groups_ == nullptr)
        return false;
    onBlock_ = kernels.sideGroupsOnBlock;
    onRow_ = kernels.sideGroupsOnRow;
    PlanGroups(numbering, width);
    // Memory columns the sweep writes (from its edge) and reads.
    const int32_t written = groupCount_ * 4;
    writtenFirst_ = numbering == Numbering::Position ? width - written : 0;
    writtenEnd_ = writtenFirst_ + written;
    readEnd_ = 0;
    for (int32_t k = blackLines_; k < lineCount_; ++k)
        readEnd_ = std::max(readEnd_, lines_[k].source + 1);
    return true;
}

void SideSweep::PlanGroups(Numbering numbering, int32_t width) {
    for (int32_t g = 0; g < groupCount_; ++g) {
        SideGroup &group = groups_[g];
        group.anyMoved = group.anyPainted = false;
        int32_t lowest = width, highest = -1;  // sources read
        bool paintedLane[4];
        for (int32_t i = 0; i < 4; ++i) {
            const int32_t k = 4 * g + i;  // sweep order
            // Right columns run leftward in the sweep, left columns rightward.
            const int32_t lane = numbering == Numbering::Position ? 3 - i : i;
            const int32_t column = k < lineCount_                     ? lines_[k].column
                                   : numbering == Numbering::Position ? lines_[4 * g].column - i
                                                                      : lines_[4 * g].column + i;
            const bool painted = k < blackLines_;
            const uint32_t m = k < lineCount_ ? lines_[k].multiplier : 0;
            group.source[lane] = k < lineCount_ ? lines_[k].source : column;
            uint16_t *factor =
                lane < 2 ? group.factorLow + 4 * lane : group.factorHigh + 4 * (lane - 2);
            factor[0] = factor[1] = factor[2] = static_cast<uint16_t>(m);
            factor[3] = 0;
            group.moved[lane] = m == 0 && !painted ? 0xFFFFFFFFu : 0;
            group.painted[lane] = painted ? colour_ : 0;
            group.anyMoved |= m == 0 && !painted;
            group.anyPainted |= painted;
            paintedLane[lane] = painted;
            if (!painted) {
                lowest = std::min(lowest, group.source[lane]);
                highest = std::max(highest, group.source[lane]);
            }
            if (lane == 0)
                group.first = column;
        }
        // The window is read whole, so it must lie in the row.
        group.window = std::clamp(lowest, 0, std::max(0, width - 4));
        if (width < 4 || highest >= group.window + 4)
            group.window = -1;
        std::fill(std::begin(group.pick), std::end(group.pick), uint8_t{0});
        for (int32_t lane = 0; lane < 4 && group.window >= 0; ++lane)
            for (int32_t b = 0; b < 4 && !paintedLane[lane]; ++b)
                group.pick[4 * lane + b] = uint8_t(4 * (group.source[lane] - group.window) + b);
    }
}

void SweepColumns(const Frame &frame, Numbering numbering, const EdgeValues &v, uint32_t colour) {
    constexpr int32_t kBatch = 32;
    const int32_t extent = frame.width;
    const int32_t count = LinesToVisit(numbering, v, extent);
    LinePlan plans[kBatch];
    Fade weights[kBatch];
    int32_t columns[kBatch];
    int32_t sourceColumns[kBatch];
    for (int32_t first = 1; first <= count; first += kBatch) {
        const int32_t lines = std::min(kBatch, count - first + 1);
        for (int32_t i = 0; i < lines; ++i) {
            plans[i] = PlanLine(numbering, first + i, extent, v);
            if (plans[i].fade)
                weights[i].Plan(plans[i].fadeNum, plans[i].fadeDen);
            columns[i] = IndexOfLine(numbering, first + i, extent);
            sourceColumns[i] =
                plans[i].smear ? IndexOfLine(numbering, plans[i].sourceLine, extent) : columns[i];
        }
        for (int32_t y = 0; y < frame.height; ++y) {
            uint32_t *row = frame.Row(y);
            for (int32_t i = 0; i < lines; ++i) {
                const LinePlan &plan = plans[i];
                uint32_t value = plan.black ? colour : row[sourceColumns[i]];
                if (!plan.black && plan.fade)
                    value = weights[i].multiplier != 0 ? FadePixel(value, weights[i].multiplier)
                                                       : FadePixel(value, weights[i].table);
                row[columns[i]] = value;
            }
        }
    }
}

}  // namespace kantora
