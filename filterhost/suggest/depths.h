// How far from an edge each kind of damage is looked for, in lines across the edge (rows for
// the top and bottom, columns for the sides), for an edge `extent` lines across. Measuring
// only as far as damage reaches keeps a frame's measurement short.
#pragma once

#include <algorithm>
#include <cstdint>

namespace suggest {

// No band reaches further in than this many lines, whatever the frame's size.
constexpr int32_t kDeepestBand = 96;
// Rows just beyond a band of torn rows that show how undamaged rows differ.
constexpr int32_t kBaselineLines = 8;
// Lines just inside a line that give its expected brightness (their median, or the darkest of
// the nearest few where that is brighter; eleven, so that a stripe of a few lines just inside,
// bright or dark, cannot be their median), and lines past the deepest bright line whose jumps
// in brightness are the picture's own.
constexpr int32_t kNeighbourLines = 11;
constexpr int32_t kNearNeighbourLines = 3;
constexpr int32_t kFlickerReferenceLines = 4;

// The deepest band that may be suggested: a third of the frame, at most kDeepestBand.
inline int32_t DeepestBand(int32_t extent) { return std::min(extent / 3, kDeepestBand); }

// Torn rows: head switching tears 3 to 12 rows of a standard-definition frame; twice that
// and more is looked for, 48 rows at 576, in proportion beyond, 24 on small frames.
inline int32_t DeepestTornRows(int32_t extent) {
    return std::min(DeepestBand(extent) - 1, std::max(24, extent / 12));
}

// A bright or flickering line: two rows in standard definition, three in 1080.
inline int32_t BrightDepth(int32_t extent) { return std::max(2, extent / 360); }

// Dark columns: 30 at 720 columns, in proportion beyond, 16 on small frames. Wider dark runs
// end at objects in dark picture.
inline int32_t DeepestDarkBand(int32_t extent) {
    return std::min(DeepestBand(extent), std::max(16, extent / 24));
}
// The most the widths of uneven dark columns differ: 22 at 720 columns, in proportion beyond,
// 12 on small frames.
inline int32_t WidestDarkSpread(int32_t extent) { return std::max(12, extent / 32); }

// Rows measured at the top and bottom: the deepest torn rows and the rows beyond them.
inline int32_t MeasuredRows(int32_t extent) {
    return std::min(DeepestTornRows(extent) + kBaselineLines + 1, extent);
}
// Columns measured at the sides: a dark run may end on the deepest dark column and must be
// followed by two columns to show its step.
inline int32_t MeasuredColumns(int32_t extent) {
    return std::min(DeepestDarkBand(extent) + 2, extent);
}

}  // namespace suggest
