#include "host_bitmap.h"

#include <cstring>

namespace filterhost {

namespace {

constexpr uint32_t kPaddingPattern = 0xA55A5AA5u;
// Pattern words before the first and after the last row in memory, which catch a write just
// outside the picture however its rows lie.
constexpr size_t kEdgeGuardWords = 16;

size_t RowWords(int32_t width, ptrdiff_t padding) {
    return static_cast<size_t>((ptrdiff_t{width} * 4 + padding) / 4);
}

// With padding to check, top-down rows get a guard area of the picture's size after the last
// row in memory, which is where a plug-in that walks the rows forward from its data pointer
// writes.
size_t GuardWords(int32_t width, int32_t height, ptrdiff_t padding, RowOrder order) {
    return order == RowOrder::TopDown && padding > 0
               ? RowWords(width, padding) * static_cast<size_t>(height)
               : 0;
}

}  // namespace

HostBitmap::HostBitmap(int32_t width, int32_t height, ptrdiff_t padding, RowOrder order)
    : width_(width),
      height_(height),
      pitch_((order == RowOrder::TopDown ? -1 : 1) * (ptrdiff_t{width} * 4 + padding)),
      pixels_(kEdgeGuardWords + RowWords(width, padding) * static_cast<size_t>(height) +
                  GuardWords(width, height, padding, order) + kEdgeGuardWords,
              kPaddingPattern),
      guardWords_(GuardWords(width, height, padding, order) + kEdgeGuardWords) {
    std::memset(&record_, 0, sizeof record_);
    record_.hostVtable = nullptr;
    // The picture's bottom row: the first row in memory, or the last one of top-down rows.
    uint32_t *rows = pixels_.data() + kEdgeGuardWords;
    record_.data = order == RowOrder::TopDown && height > 0
                       ? rows + RowWords(width, padding) * static_cast<size_t>(height - 1)
                       : rows;
    record_.palette = nullptr;
    record_.depth = 32;
    record_.w = width;
    record_.h = height;
    record_.pitch = pitch_;
    record_.modulo = pitch_ - ptrdiff_t{width} * 4;
    record_.size = (pitch_ < 0 ? -pitch_ : pitch_) * height;
    record_.offset = 0;
}

HostBitmap::HostBitmap(const HostBitmap &picture, BitmapLayout layout)
    : HostBitmap(picture.width_, picture.height_, layout) {
    for (int32_t y = 0; y < height_; ++y)
        std::memcpy(PictureRowBytes(y), picture.PictureRowBytes(y), size_t(width_) * 4);
}

uint32_t *HostBitmap::Row(int32_t memoryRow) {
    return record_.data + ptrdiff_t{memoryRow} * (pitch_ / 4);
}

const uint32_t *HostBitmap::Row(int32_t memoryRow) const {
    return record_.data + ptrdiff_t{memoryRow} * (pitch_ / 4);
}

uint8_t *HostBitmap::PictureRowBytes(int32_t fromTop) {
    return reinterpret_cast<uint8_t *>(Row(height_ - 1 - fromTop));
}

const uint8_t *HostBitmap::PictureRowBytes(int32_t fromTop) const {
    return reinterpret_cast<const uint8_t *>(Row(height_ - 1 - fromTop));
}

// Pixels are assembled from bytes rather than copied, so that the byte order of the stream
// does not depend on the machine's.
void HostBitmap::LoadTopDown(const uint8_t *bytes) {
    for (int32_t y = 0; y < height_; ++y) {
        uint32_t *row = Row(height_ - 1 - y);
        const uint8_t *in = bytes + static_cast<size_t>(y) * static_cast<size_t>(width_) * 4;
        for (int32_t x = 0; x < width_; ++x, in += 4)
            row[x] = uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 |
                     uint32_t{in[3]} << 24;
    }
}

void HostBitmap::StoreTopDown(uint8_t *bytes) const {
    for (int32_t y = 0; y < height_; ++y) {
        const uint32_t *row = Row(height_ - 1 - y);
        uint8_t *out = bytes + static_cast<size_t>(y) * static_cast<size_t>(width_) * 4;
        for (int32_t x = 0; x < width_; ++x, out += 4) {
            const uint32_t pixel = row[x];
            out[0] = static_cast<uint8_t>(pixel);
            out[1] = static_cast<uint8_t>(pixel >> 8);
            out[2] = static_cast<uint8_t>(pixel >> 16);
            out[3] = static_cast<uint8_t>(pixel >> 24);
        }
    }
}

bool HostBitmap::PaddingIntact() const {
    const size_t rowWords = static_cast<size_t>((pitch_ < 0 ? -pitch_ : pitch_) / 4);
    for (int32_t y = 0; y < height_; ++y) {
        const uint32_t *row = Row(y);
        for (size_t x = static_cast<size_t>(width_); x < rowWords; ++x)
            if (row[x] != kPaddingPattern)
                return false;
    }
    for (size_t k = 0; k < kEdgeGuardWords; ++k)
        if (pixels_[k] != kPaddingPattern)
            return false;
    for (size_t k = pixels_.size() - guardWords_; k < pixels_.size(); ++k)
        if (pixels_[k] != kPaddingPattern)
            return false;
    return true;
}

}  // namespace filterhost
