// Frame memory as the plug-in sees it: 32-bit pixels 0xXXRRGGBB, rows bottom-up, each row
// `pitch` bytes apart. Outside the host, frames travel top-down as bytes B, G, R, X per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/vdfilter.h"

class HostBitmap {
public:
    // `padding` bytes (a multiple of 4) follow each row; they are filled with a known pattern
    // so that writes outside the picture can be detected.
    HostBitmap(int32_t width, int32_t height, ptrdiff_t padding = 0);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    ptrdiff_t Pitch() const { return pitch_; }

    // The bitmap record handed to the plug-in; it points into this object.
    FilterBitmap *Record() { return &record_; }

    // Top-down B, G, R, X bytes (width * height * 4 of them) in and out.
    void LoadTopDown(const uint8_t *bytes);
    void StoreTopDown(uint8_t *bytes) const;

    // True while every padding byte still holds the pattern.
    bool PaddingIntact() const;

    uint32_t *Row(int32_t memoryRow);  // memory row 0 is the picture's bottom row
    const uint32_t *Row(int32_t memoryRow) const;

private:
    int32_t width_;
    int32_t height_;
    ptrdiff_t pitch_;
    std::vector<uint32_t> pixels_;
    FilterBitmap record_;
};
