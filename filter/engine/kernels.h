// The pixel loops of the sweeps, in the widest form the processor runs. They are chosen through
// one table, filled once per process: the plain entries first, then, where the build targets
// x86, the ones the processor has instructions for. Every entry of every table gives the same
// bits.
#pragma once

#include <cstdint>

#include "band_plan.h"

namespace kantora {

// Four lines of a side band side by side in memory, planned once per frame: the lowest column,
// each pixel's source column in memory order, the channel multipliers of the first two and
// the last two pixels (zero for a pixel moved whole or painted), all ones where a pixel is
// moved whole, and the colour where it is painted. When the sources lie within four columns,
// `window` is the first of them and `pick` the byte shuffle that puts them in order; else
// `window` is -1. Plain arrays, loaded unaligned: a 32-bit host's stack promises no 16-byte
// alignment.
struct SideGroup {
    uint16_t factorLow[8], factorHigh[8];
    uint32_t moved[4], painted[4];
    uint8_t pick[16];
    int32_t first, window;
    int32_t source[4];
    bool anyMoved, anyPainted;
};

// to[x] = from[x] faded by multiplier m; the two may be the same row.
using FadeRowKernel = void (*)(uint32_t *to, const uint32_t *from, int32_t width, uint32_t m);
// Side bands are made a block of rows at a time, so that each group's figures are fetched once
// for them all; the odd rows left over one at a time.
constexpr int32_t kBlockRows = 4;
// The groups on the kernel's rows, row r read from from[r] as it stood before and written to
// to[r].
using SideGroupsKernel = void (*)(const SideGroup *groups, int32_t count,
                                  const uint32_t *const *from, uint32_t *const *to);

struct BorderKernels {
    FadeRowKernel fadeRow;
    // Null: side bands are made one pixel at a time.
    SideGroupsKernel sideGroupsOnBlock;  // kBlockRows rows
    SideGroupsKernel sideGroupsOnRow;    // one row
};

// Instruction sets a table may use beyond plain C++.
enum KernelFeature : unsigned {
    kFeatureSse2 = 1u << 0,
    kFeatureSsse3 = 1u << 1,
    kFeatureAvx2 = 1u << 2,
};

// What this processor has of them (on x86 SSE2 whenever the build asks for it).
unsigned ProcessorFeatures();

// The plain entries, then those of `features` that the build has (a feature the processor
// lacks must not be named).
void InitBorderKernels(BorderKernels *kernels, unsigned features);
// Overrides entries by the x86 instructions of `features`.
void InitBorderKernelsX86(BorderKernels *kernels, unsigned features);
unsigned X86ProcessorFeatures();

// The table for this processor, filled on first use, once whatever the thread.
const BorderKernels &BorderKernelsOfThisProcessor();

// FadeRow's columns [x, width), one at a time.
inline void FadePixels(uint32_t *to, const uint32_t *from, int32_t x, int32_t width, uint32_t m) {
    for (; x < width; ++x)
        to[x] = FadePixel(from[x], m);
}

}  // namespace kantora
