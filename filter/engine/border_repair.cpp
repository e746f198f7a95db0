#include "border_repair.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sweeps.h"

#if defined(__GNUC__)
#define KANTORA_NOINLINE __attribute__((noinline))
#else
#define KANTORA_NOINLINE
#endif

// The frame: a copy and four sweeps (sweeps.h), each edge by the band rules (band_plan.h).
//
// Speed: the frame's floor is the copy, every pixel read and written once. So the usual frame
// is repaired a few rows at a time as it is copied: the rows get their side-band pixels while
// they are still in the cache, and the few rows of the top and bottom bands are built straight
// from the source. That is only the same as copy-then-sweep while the top and bottom sweeps never
// reach each other's rows; frames too small for that take the plain order: copy the frame, then
// sweep.
//
// Planning: every frame's bands are planned anew, once, before a pixel is touched, into stack
// memory (plan_space.h) sized to the lines they hold: a kilobyte or two for the usual values,
// tens of kilobytes only near the dialog's limits. Values beyond what a plan holds, far outside
// the dialog's range, take sweeps that plan each line as they reach it. The pixel loops for
// this processor are chosen once per process (kernels.h).

namespace kantora {

namespace {

struct Sides {
    SideSweep right, left;
    // Both sweeps only read the row as it stood before them and never meet: a row can then be
    // copied and its side bands made from the source row, never reading what was just written.
    bool apart = false;

    bool Plan(const BorderSettings &s, int32_t width, const BorderKernels &kernels,
              PlanSpace &space) {
        if (!right.Plan(Numbering::Position, EdgeValuesOf(s, Right), width, s.borderColour, kernels,
                        space) ||
            !left.Plan(Numbering::Offset, EdgeValuesOf(s, Left), width, s.borderColour, kernels,
                       space))
            return false;
        // The right sweep runs first: the left one must neither read nor write its columns.
        apart = right.Grouped() && left.Grouped() &&
                std::max(left.WrittenEnd(), left.ReadEnd()) <= right.WrittenFirst();
        return true;
    }

    void Apply(uint32_t *row) const {
        right.Apply(row, row);
        left.Apply(row, row);
    }

    // to = from with its side bands made.
    void CopyRowWithBands(uint32_t *to, const uint32_t *from, int32_t width) const {
        if (!apart || to == from) {
            if (to != from)
                std::memcpy(to, from, size_t(width) * sizeof(uint32_t));
            Apply(to);
            return;
        }
        std::memcpy(to, from, size_t(width) * sizeof(uint32_t));
        right.Apply(from, to);
        left.Apply(from, to);
    }
};

// Rows [first, end): copied, with their side bands.
void CopyWithSides(const Frame &in, const Frame &out, int32_t first, int32_t end,
                   const Sides &sides) {
    int32_t y = first;
    if (sides.apart && in.pixels != out.pixels) {
        // A few rows at a time: copied, then their band columns made from the source rows.
        // Rows that lie end to end in both frames are copied whole by one call; else only the
        // columns between the bands, row by row.
        constexpr int32_t kRows = kBlockRows;
        const size_t rowBytes = size_t(out.width) * sizeof(uint32_t);
        const bool endToEnd = in.pitch == out.pitch && size_t(std::abs(out.pitch)) == rowBytes;
        const int32_t lowest = out.pitch > 0 ? 0 : kRows - 1;  // the block's first row in memory
        const int32_t middle = sides.left.WrittenEnd();
        const size_t middleBytes = size_t(sides.right.WrittenFirst() - middle) * sizeof(uint32_t);
        for (; y + kRows <= end; y += kRows) {
            const uint32_t *from[kRows];
            uint32_t *to[kRows];
            for (int32_t r = 0; r < kRows; ++r) {
                from[r] = in.Row(y + r);
                to[r] = out.Row(y + r);
            }
            if (endToEnd)
                std::memcpy(to[lowest], from[lowest], kRows * rowBytes);
            else
                for (int32_t r = 0; r < kRows; ++r)
                    std::memcpy(to[r] + middle, from[r] + middle, middleBytes);
            sides.right.ApplyToBlock(from, to);
            sides.left.ApplyToBlock(from, to);
        }
    }
    for (; y < end; ++y)
        sides.CopyRowWithBands(out.Row(y), in.Row(y), out.width);
}

// Rows [first, end) in place: their side bands.
void SidesOn(const Frame &out, int32_t first, int32_t end, const Sides &sides) {
    int32_t y = first;
    if (sides.right.Grouped() && sides.left.Grouped()) {
        constexpr int32_t kRows = kBlockRows;
        for (; y + kRows <= end; y += kRows) {
            uint32_t *rows[kRows];
            for (int32_t r = 0; r < kRows; ++r)
                rows[r] = out.Row(y + r);
            sides.right.ApplyToBlock(rows, rows);
            sides.left.ApplyToBlock(rows, rows);
        }
    }
    for (; y < end; ++y)
        sides.Apply(out.Row(y));
}

// Rows [first, end) of an edge's lines copied with their side bands, but for those that the
// edge's sweep replaces whole before reading them.
void CopyWithSidesUnlessReplaced(const Frame &in, const Frame &out, int32_t first, int32_t end,
                                 const RowSweep &edge, const Sides &sides) {
    for (int32_t y = first; y < end;) {
        if (edge.Replaced(y, out.height)) {
            ++y;
            continue;
        }
        int32_t runEnd = y + 1;
        while (runEnd < end && !edge.Replaced(runEnd, out.height))
            ++runEnd;
        CopyWithSides(in, out, y, runEnd, sides);
        y = runEnd;
    }
}

// Top and bottom bands reach rows of their own only. With the top and bottom sweeps first,
// they build their rows from the source and then get their side bands; the rows they read
// are copied only after them, so that the source may also be the destination. With the sides
// first, the rows are copied with their side bands and the bands' rows then swept in place
// while still in the cache.
void ProcessByRows(const Frame &in, const Frame &out, const RowSweep &top, const RowSweep &bottom,
                   const Sides &sides, bool topBottomFirst) {
    const int32_t h = out.height;
    if (topBottomFirst) {
        bottom.Sweep(in, out);
        SidesOn(out, 0, bottom.Count(), sides);
        CopyWithSides(in, out, bottom.Count(), bottom.Reach(), sides);
        CopyWithSides(in, out, bottom.Reach(), h - top.Reach(), sides);
        top.Sweep(in, out);
        SidesOn(out, h - top.Count(), h, sides);
        CopyWithSides(in, out, h - top.Reach(), h - top.Count(), sides);
    } else {
        CopyWithSidesUnlessReplaced(in, out, 0, bottom.Reach(), bottom, sides);
        bottom.Sweep(out, out);
        CopyWithSides(in, out, bottom.Reach(), h - top.Reach(), sides);
        CopyWithSidesUnlessReplaced(in, out, h - top.Reach(), h, top, sides);
        top.Sweep(out, out);
    }
}

// Every row copied; nothing to copy when the frame is repaired in place.
void CopyFrame(const Frame &in, const Frame &out) {
    if (in.pixels == out.pixels && in.pitch == out.pitch)
        return;
    for (int32_t y = 0; y < out.height; ++y)
        std::memcpy(out.Row(y), in.Row(y), size_t(out.width) * sizeof(uint32_t));
}

// The plain order: copy the whole frame, then the two passes in the settings' order.
template <class TopBottomPass, class SidePass>
void CopyThenSweep(const Frame &in, const Frame &out, bool topBottomFirst,
                   TopBottomPass topBottomPass, SidePass sidePass) {
    CopyFrame(in, out);
    if (topBottomFirst) {
        topBottomPass();
        sidePass();
    } else {
        sidePass();
        topBottomPass();
    }
}

// The frame repaired by plans made in `space`; false, with nothing written, when its bands
// hold what the plans cannot.
bool RepairAsPlanned(const Frame &in, const Frame &out, const BorderSettings &s,
                     const BorderKernels &kernels, PlanSpace &space) {
    RowSweep top, bottom;
    Sides sides;
    if (!top.Plan(Numbering::Position, EdgeValuesOf(s, Top), out.height, s.borderColour,
                  kernels.fadeRow, space) ||
        !bottom.Plan(Numbering::Offset, EdgeValuesOf(s, Bottom), out.height, s.borderColour,
                     kernels.fadeRow, space) ||
        !sides.Plan(s, out.width, kernels, space))
        return false;
    if (int64_t{top.Reach()} + bottom.Reach() <= out.height) {
        ProcessByRows(in, out, top, bottom, sides, s.processTopBottomFirst);
    } else {
        CopyThenSweep(
            in, out, s.processTopBottomFirst,
            [&] {
                top.Sweep(out, out);
                bottom.Sweep(out, out);
            },
            [&] { SidesOn(out, 0, out.height, sides); });
    }
    return true;
}

// Bytes of plan space for the bands of `s` on the frame; 0 when an edge holds more lines
// than a plan takes.
size_t PlanSpaceFor(const BorderSettings &s, int32_t width, int32_t height) {
    const int32_t top = LinesToVisit(Numbering::Position, EdgeValuesOf(s, Top), height);
    const int32_t bottom = LinesToVisit(Numbering::Offset, EdgeValuesOf(s, Bottom), height);
    const int32_t right = LinesToVisit(Numbering::Position, EdgeValuesOf(s, Right), width);
    const int32_t left = LinesToVisit(Numbering::Offset, EdgeValuesOf(s, Left), width);
    if (std::max({top, bottom, right, left}) > kMaxPlannedLines)
        return 0;
    return RowSweep::SpaceFor(top) + RowSweep::SpaceFor(bottom) + SideSweep::SpaceFor(right) +
           SideSweep::SpaceFor(left);
}

constexpr size_t kMaxPlanSpace =
    2 * RowSweep::SpaceFor(kMaxPlannedLines) + 2 * SideSweep::SpaceFor(kMaxPlannedLines);

// The frame repaired by plans in kBytes of stack. Kept out of line, so that only a frame whose
// bands need that much reserves it.
template <size_t kBytes>
KANTORA_NOINLINE bool RepairInSpaceOf(const Frame &in, const Frame &out, const BorderSettings &s,
                                      const BorderKernels &kernels) {
    alignas(16) unsigned char bytes[kBytes];
    PlanSpace space(bytes, kBytes);
    return RepairAsPlanned(in, out, s, kernels, space);
}

// The plans get the smallest of a few sizes of stack that holds them, at most four times what
// they take: a couple of kilobytes for the usual bands.
bool RepairPlanned(const Frame &in, const Frame &out, const BorderSettings &s,
                   const BorderKernels &kernels) {
    static_assert(kMaxPlanSpace > 32 * 1024, "the largest room is the last");
    const size_t bytes = PlanSpaceFor(s, out.width, out.height);
    if (bytes == 0)
        return false;
    if (bytes <= 2 * 1024)
        return RepairInSpaceOf<2 * 1024>(in, out, s, kernels);
    if (bytes <= 8 * 1024)
        return RepairInSpaceOf<8 * 1024>(in, out, s, kernels);
    if (bytes <= 32 * 1024)
        return RepairInSpaceOf<32 * 1024>(in, out, s, kernels);
    return RepairInSpaceOf<kMaxPlanSpace>(in, out, s, kernels);
}

// Any values: copy the whole frame, then sweeps that plan each line as they reach it. Kept out
// of line, so that their batch of column plans stays off the stack of the usual frame.
KANTORA_NOINLINE void RepairLineByLine(const Frame &in, const Frame &out, const BorderSettings &s,
                                       const BorderKernels &kernels) {
    const uint32_t colour = s.borderColour;
    CopyThenSweep(
        in, out, s.processTopBottomFirst,
        [&] {
            SweepRowsLineByLine(out, Numbering::Position, EdgeValuesOf(s, Top), colour,
                                kernels.fadeRow);
            SweepRowsLineByLine(out, Numbering::Offset, EdgeValuesOf(s, Bottom), colour,
                                kernels.fadeRow);
        },
        [&] {
            SweepColumns(out, Numbering::Position, EdgeValuesOf(s, Right), colour);
            SweepColumns(out, Numbering::Offset, EdgeValuesOf(s, Left), colour);
        });
}

}  // namespace

void RepairFrameWith(const BorderKernels &kernels, const uint32_t *src, ptrdiff_t srcPitch,
                     uint32_t *dst, ptrdiff_t dstPitch, int32_t width, int32_t height,
                     const BorderSettings &settings) {
    if (width <= 0 || height <= 0)
        return;
    // The source is only ever read; the type serves both frames.
    const Frame in{const_cast<uint32_t *>(src), srcPitch, width, height};
    const Frame out{dst, dstPitch, width, height};
    if (!RepairPlanned(in, out, settings, kernels))
        RepairLineByLine(in, out, settings, kernels);
}

void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                  int32_t width, int32_t height, const BorderSettings &settings) {
    RepairFrameWith(BorderKernelsOfThisProcessor(), src, srcPitch, dst, dstPitch, width, height,
                    settings);
}

}  // namespace kantora
