// Where a host that holds its pictures in another pixel format repairs them: a whole frame of
// the filter's 32-bit pixels, into which the host converts the strips the repair reads and out
// of which it converts the strips the repair changes (strips.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "border_settings.h"

namespace kantora {

// Pixels 0xXXRRGGBB (bytes B, G, R, X in memory on a little-endian machine), rows top-down,
// `width` pixels apart. The memory is taken when the size changes and never cleared whole: the
// repair reads only the strips the host converted in.
class BgrxCanvas {
public:
    // Room for a frame of this size, kept when the size is the same as before. False, with no
    // room, when the memory cannot be had.
    bool Resize(int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    ptrdiff_t Pitch() const { return ptrdiff_t{width_} * 4; }  // bytes from a row to the next
    uint8_t *Row(int32_t fromTop) { return reinterpret_cast<uint8_t *>(Pixels(fromTop)); }
    const uint8_t *Row(int32_t fromTop) const {
        return reinterpret_cast<const uint8_t *>(pixels_.get() + size_t(fromTop) * width_);
    }

    // The filter's repair in place: the plug-in's own ProcessFrame over the canvas seen as the
    // bottom-up frame it takes (the bottom row first, a negative pitch).
    void Repair(const BorderSettings &settings);
    // The same for pixels whose top byte is alpha, which the changed pixels keep
    // (alpha_repair.h; `saved` is the caller's, kept from frame to frame).
    void RepairKeepingAlpha(const BorderSettings &settings, std::vector<uint8_t> &saved);

private:
    uint32_t *Pixels(int32_t fromTop) { return pixels_.get() + size_t(fromTop) * width_; }

    int32_t width_ = 0, height_ = 0;
    std::unique_ptr<uint32_t[]> pixels_;
};

}  // namespace kantora
