// Frame memory as the plug-in sees it: 32-bit pixels 0xXXRRGGBB, rows bottom-up, each row
// `pitch` bytes apart. Outside the host, frames travel top-down as bytes B, G, R, X per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vdfilter.h"

// Pixels are viewed as bytes B, G, R, X, which they are only on a little-endian machine.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "frames are moved as little-endian pixels"
#endif

namespace filterhost {

// How the rows lie in the buffer. Either way the record's data points at the picture's bottom
// row; top-down rows are handed over as hosts hand them, with a negative pitch.
enum class RowOrder { BottomUp, TopDown };

// `padding` bytes (a multiple of 4) after each row, and the rows' order.
struct BitmapLayout {
    ptrdiff_t padding = 0;
    RowOrder order = RowOrder::BottomUp;
};

// The one frame type of the host: raw frames are read into it, pictures decoded into it, video
// frames converted into it, and the plug-in and everything that measures frames take it.
class HostBitmap {
public:
    // The padding is filled with a known pattern so that writes outside the picture can be
    // detected.
    HostBitmap(int32_t width, int32_t height, ptrdiff_t padding = 0,
               RowOrder order = RowOrder::BottomUp);
    HostBitmap(int32_t width, int32_t height, BitmapLayout layout)
        : HostBitmap(width, height, layout.padding, layout.order) {}
    // The same picture in another layout.
    HostBitmap(const HostBitmap &picture, BitmapLayout layout);
    // The record points into the pixels, which a move keeps and a copy would not.
    HostBitmap(const HostBitmap &) = delete;
    HostBitmap &operator=(const HostBitmap &) = delete;
    HostBitmap(HostBitmap &&) = default;
    HostBitmap &operator=(HostBitmap &&) = default;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    ptrdiff_t Pitch() const { return pitch_; }  // negative for top-down rows

    // The bitmap record handed to the plug-in; it points into this object.
    FilterBitmap *Record() { return &record_; }

    // Top-down B, G, R, X bytes (width * height * 4 of them) in and out.
    void LoadTopDown(const uint8_t *bytes);
    void StoreTopDown(uint8_t *bytes) const;

    // The bytes of picture row y counted from the top: B, G, R, X per pixel.
    uint8_t *PictureRowBytes(int32_t fromTop);
    const uint8_t *PictureRowBytes(int32_t fromTop) const;
    // True when the whole picture lies in memory as a raw stream carries it (top-down rows
    // without padding), from PictureRowBytes(0) on.
    bool InStreamLayout() const { return pitch_ == -ptrdiff_t{width_} * 4; }

    // True while every padding byte, and the guard areas before and after the rows, still
    // hold the pattern.
    bool PaddingIntact() const;

    uint32_t *Row(int32_t memoryRow);  // memory row 0 is the picture's bottom row
    const uint32_t *Row(int32_t memoryRow) const;

private:
    int32_t width_;
    int32_t height_;
    ptrdiff_t pitch_;
    std::vector<uint32_t> pixels_;
    size_t guardWords_;  // at the end of pixels_ (the start has a fixed guard)
    FilterBitmap record_;
};

}  // namespace filterhost
