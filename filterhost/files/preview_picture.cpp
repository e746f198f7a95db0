#include "preview_picture.h"

#include <algorithm>
#include <cstring>

namespace filterhost {

namespace {

// Ticks keep this far from the margin's outer edge and from the picture, so that they read as
// marks beside the picture rather than as part of it.
constexpr int32_t kTickInset = 3;

void Fill(HostBitmap &picture, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    for (int32_t y = y0; y < y1; ++y) {
        uint32_t *row = reinterpret_cast<uint32_t *>(picture.PictureRowBytes(y));
        std::fill(row + x0, row + x1, colour);
    }
}

void Place(HostBitmap &picture, const HostBitmap &half, int32_t x0, int32_t y0) {
    for (int32_t y = 0; y < half.Height(); ++y)
        std::memcpy(picture.PictureRowBytes(y0 + y) + size_t(x0) * 4, half.PictureRowBytes(y),
                    size_t(half.Width()) * 4);
}

}  // namespace

HostBitmap SideBySide(const HostBitmap &before, const HostBitmap &after,
                      const TickedLines &ticked) {
    const int32_t w = before.Width(), h = before.Height(), m = kPreviewMargin;
    HostBitmap picture(3 * m + 2 * w, 2 * m + h);
    Fill(picture, 0, 0, picture.Width(), picture.Height(), kPreviewMarginColour);
    Place(picture, before, m, m);
    Place(picture, after, 2 * m + w, m);

    const int32_t top = std::clamp(ticked.top, 0, h), bottom = std::clamp(ticked.bottom, 0, h);
    const int32_t left = std::clamp(ticked.left, 0, w), right = std::clamp(ticked.right, 0, w);
    auto tickRows = [&](int32_t from, int32_t to) {
        Fill(picture, kTickInset, m + from, m - kTickInset, m + to, kPreviewTickColour);
    };
    auto tickColumns = [&](int32_t from, int32_t to) {
        Fill(picture, m + from, kTickInset, m + to, m - kTickInset, kPreviewTickColour);
    };
    tickRows(0, top);
    tickRows(h - bottom, h);
    tickColumns(0, left);
    tickColumns(w - right, w);
    return picture;
}

}  // namespace filterhost
