#include "host_bitmap.h"

#include <cstring>

namespace {

constexpr uint32_t kPaddingPattern = 0xA55A5AA5u;

}  // namespace

HostBitmap::HostBitmap(int32_t width, int32_t height, ptrdiff_t padding)
    : width_(width),
      height_(height),
      pitch_(ptrdiff_t{width} * 4 + padding),
      pixels_(static_cast<size_t>(pitch_ / 4) * static_cast<size_t>(height), kPaddingPattern) {
    std::memset(&record_, 0, sizeof record_);
    record_.hostVtable = nullptr;
    record_.data = pixels_.data();
    record_.palette = nullptr;
    record_.depth = 32;
    record_.w = width;
    record_.h = height;
    record_.pitch = pitch_;
    record_.modulo = pitch_ - ptrdiff_t{width} * 4;
    record_.size = pitch_ * height;
    record_.offset = 0;
}

uint32_t *HostBitmap::Row(int32_t memoryRow) {
    return pixels_.data() + static_cast<size_t>(memoryRow) * static_cast<size_t>(pitch_ / 4);
}

const uint32_t *HostBitmap::Row(int32_t memoryRow) const {
    return pixels_.data() + static_cast<size_t>(memoryRow) * static_cast<size_t>(pitch_ / 4);
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
    const size_t rowWords = static_cast<size_t>(pitch_ / 4);
    for (int32_t y = 0; y < height_; ++y) {
        const uint32_t *row = Row(y);
        for (size_t x = static_cast<size_t>(width_); x < rowWords; ++x)
            if (row[x] != kPaddingPattern)
                return false;
    }
    return true;
}
