// The sweeps: each edge's band rules applied to a frame's lines, from the edge inward. Planned
// sweeps work from a plan made once per frame in plan space (top and bottom: whole rows; left
// and right: a few pixels of every row, four at a time where the kernels allow); values beyond
// what a plan holds, far outside the dialog's range, take sweeps that plan each line as they
// reach it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "band_plan.h"
#include "kernels.h"
#include "plan_space.h"

namespace kantora {

struct Frame {
    uint32_t *pixels;
    ptrdiff_t pitch;  // bytes, either sign
    int32_t width, height;

    uint32_t *Row(int32_t y) const {
        return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(pixels) + y * pitch);
    }
};

// Plans take up to this many lines of an edge: two dialog-range bands, 255 + 255 lines.
constexpr int32_t kMaxPlannedLines = 512;

// ---------------------------------------------------------------------------------------------
// Top and bottom: whole rows.

// One line of a top or bottom sweep.
struct RowLine {
    int32_t source;       // the line whose pixels it takes, itself if it keeps its own;
                          // 0: painted in the border colour
    uint16_t multiplier;  // the fade; 0: taken whole
    bool replaced;        // the sweep replaces it whole before anything reads what it held
};

// A top or bottom sweep planned for one frame: lines 1..Count() are the ones it visits,
// lines 1..Reach() all it reads or writes.
class RowSweep {
public:
    static constexpr size_t SpaceFor(int32_t lines) { return PlanSpace::Needed<RowLine>(lines); }

    // False when the fade needs a table or there is no room: then the sweeps that plan each
    // line as they reach it run.
    bool Plan(Numbering numbering, const EdgeValues &v, int32_t height, uint32_t colour,
              FadeRowKernel fadeRow, PlanSpace &space);

    int32_t Count() const { return count_; }
    int32_t Reach() const { return reach_; }

    // Whether the sweep replaces memory row y whole before anything reads what it held.
    bool Replaced(int32_t y, int32_t height) const {
        const int32_t n = numbering_ == Numbering::Position ? height - y : y + 1;
        return n <= count_ && lines_[n - 1].replaced;
    }

    // The sweep into `out`. Lines the sweep has not reached yet are read from `in` (the frame
    // as it stands before the sweep), lines it has written from `out`. With `in` the same
    // frame as `out` this is the sweep in place.
    void Sweep(const Frame &in, const Frame &out) const;

private:
    Numbering numbering_ = Numbering::Position;
    uint32_t colour_ = 0;
    FadeRowKernel fadeRow_ = nullptr;
    int32_t count_ = 0, reach_ = 0;
    RowLine *lines_ = nullptr;
};

// A top or bottom sweep in place for any values, each line planned as the sweep reaches it.
void SweepRowsLineByLine(const Frame &frame, Numbering numbering, const EdgeValues &v,
                         uint32_t colour, FadeRowKernel fadeRow);

// ---------------------------------------------------------------------------------------------
// Left and right: a few pixels of every row.

// One line of a side sweep: its memory column, the column it takes, and its fade.
struct SideLine {
    int32_t column, source;
    uint16_t multiplier;  // 0: moved whole, all 32 bits
};

// One side's sweep planned once for all rows: one operation per line in the sweep's order,
// the black band's lines first (painted), then each pixel = its smear source, faded or moved
// whole.
class SideSweep {
public:
    static constexpr size_t SpaceFor(int32_t lines) {
        return PlanSpace::Needed<SideLine>(lines) + PlanSpace::Needed<SideGroup>((lines + 3) / 4);
    }

    // False when the fade needs a table or there is no room: then the sweeps that plan each
    // line as they reach it run. With no kernel for groups the pixels are made one by one.
    bool Plan(Numbering numbering, const EdgeValues &v, int32_t width, uint32_t colour,
              const BorderKernels &kernels, PlanSpace &space);

    // True when the sweep only ever reads the row as it stood before the sweep, so that it
    // can read one row and write another.
    bool Grouped() const { return grouped_; }
    int32_t WrittenFirst() const { return writtenFirst_; }
    int32_t WrittenEnd() const { return writtenEnd_; }
    int32_t ReadEnd() const { return readEnd_; }

    // The sweep on one row: `from` as it stood before, `to` the row written, the same row
    // unless Grouped().
    void Apply(const uint32_t *from, uint32_t *to) const {
        if (grouped_) {
            onRow_(groups_, groupCount_, &from, &to);
            return;
        }
        uint32_t *row = to;
        for (int32_t k = 0; k < blackLines_; ++k)
            row[lines_[k].column] = colour_;
        for (int32_t k = blackLines_; k < lineCount_; ++k) {
            const SideLine &line = lines_[k];
            const uint32_t value = row[line.source];
            row[line.column] = line.multiplier == 0 ? value : FadePixel(value, line.multiplier);
        }
    }

    // Grouped() only: the sweep on kBlockRows rows, each read from `from` and written to `to`.
    void ApplyToBlock(const uint32_t *const *from, uint32_t *const *to) const {
        onBlock_(groups_, groupCount_, from, to);
    }

private:
    uint32_t colour_ = 0;
    int32_t lineCount_ = 0, blackLines_ = 0;
    SideLine *lines_ = nullptr;
    bool grouped_ = false;
    int32_t groupCount_ = 0;
    SideGroup *groups_ = nullptr;
    SideGroupsKernel onBlock_ = nullptr, onRow_ = nullptr;
    int32_t writtenFirst_ = 0, writtenEnd_ = 0, readEnd_ = 0;

    void PlanGroups(Numbering numbering, int32_t width);
};

// A side sweep in place for any values. Rows do not depend on one another, so the band
// columns are planned a batch at a time and each batch is applied to every row; within a row
// the columns still go edge-inward.
void SweepColumns(const Frame &frame, Numbering numbering, const EdgeValues &v, uint32_t colour);

}  // namespace kantora
