// Border repair of one frame: copy the source, then paint, smear and fade bands at the four
// edges of the destination. Plain pixels in, plain pixels out; nothing here knows the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "border_settings.h"

// Pixels are 32-bit words 0xXXRRGGBB. Rows are stored bottom-up: row 0 in memory is the
// picture's bottom row. Pitches are in bytes and may differ between the two frames.
// A frame with no rows or no columns is left alone. Settings of any value are safe.
void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                  int32_t width, int32_t height, const BorderSettings &settings);
