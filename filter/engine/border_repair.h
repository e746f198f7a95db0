// Border repair of one frame: copy the source, then paint, smear and fade bands at the four
// edges of the destination. Plain pixels in, plain pixels out; nothing here knows a host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "border_settings.h"

namespace kantora {

struct BorderKernels;

// Pixels are 32-bit words 0xXXRRGGBB. Rows are stored bottom-up: row 0 in memory is the
// picture's bottom row (a top-down buffer is handed over as its last row with a negative
// pitch). Pitches are in bytes, of either sign, and may differ between the two frames; the two
// may also be one frame with one pitch, repaired in place. A frame with no rows or no columns
// is left alone. Settings of any value are safe.
void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                  int32_t width, int32_t height, const BorderSettings &settings);

// ProcessFrame with the given pixel loops rather than this processor's, so that every table
// can be checked on one machine.
void RepairFrameWith(const BorderKernels &kernels, const uint32_t *src, ptrdiff_t srcPitch,
                     uint32_t *dst, ptrdiff_t dstPitch, int32_t width, int32_t height,
                     const BorderSettings &settings);

}  // namespace kantora
