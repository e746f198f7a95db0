// The repair of 32-bit pixels whose bits 24-31 are alpha, as hosts with transparent pictures
// hold them: every pixel keeps the alpha it came with, so a band is as opaque as the picture it
// replaced. Rows, pitches and settings as ProcessFrame takes them (border_repair.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "border_settings.h"

namespace kantora {

// From `src` into a separate `dst`.
void RepairKeepingAlpha(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                        int32_t width, int32_t height, const BorderSettings &settings);

// In place. The alpha of the pixels the repair changes is kept in `saved` meanwhile, which the
// caller keeps from frame to frame, so that it grows only when the bands do; growing it may
// throw std::bad_alloc.
void RepairInPlaceKeepingAlpha(uint32_t *pixels, ptrdiff_t pitch, int32_t width, int32_t height,
                               const BorderSettings &settings, std::vector<uint8_t> &saved);

}  // namespace kantora
