// PNG pictures in and out, through libpng (Linux builds; the Windows build reads and writes none).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "host_results.h"
#include "frame_size.h"
#include "host_bitmap.h"

namespace filterhost {

// Pixels in the largest picture read: 256 MiB of B, G, R, X, more than an 8K video frame and
// still a sure allocation on a 32-bit host.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;

// Pictures larger than these are refused before any pixel memory is taken.
struct PictureLimits {
    int32_t maxSide = kMaxFrameSide;
    int64_t maxPixels = kMaxPicturePixels;
};

// Any PNG, decoded straight into a bitmap of `layout`; grey and palette pictures are expanded
// to colour, 16-bit samples cut to their high byte, and an alpha channel or transparent colour
// is dropped (the filter's pixels carry no alpha): X is 0 in every pixel. Damaged or truncated
// files are refused with libpng's reason.
Expected<HostBitmap> ReadPng(const std::string &path, BitmapLayout layout = {},
                             const PictureLimits &limits = {});
// The same from an open stream; `name` names it in messages, quoted as they show it
// (printable_text.h).
Expected<HostBitmap> ReadPng(std::FILE *stream, const std::string &name, BitmapLayout layout = {},
                             const PictureLimits &limits = {});

// An RGB PNG without alpha: X carries no colour and is not written. The file is replaced only
// once the whole picture is written (see output_file.h).
Status WritePng(const std::string &path, const HostBitmap &picture);
Status WritePng(std::FILE *stream, const std::string &name, const HostBitmap &picture);

}  // namespace filterhost

