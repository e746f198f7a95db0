// PNG pictures in and out, through libpng (Linux builds; the Windows build reads and writes none).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "expected.h"
#include "frame_size.h"

// A picture as top-down B, G, R, X bytes, the layout of a raw frame.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgrx;
};

// Pixels in the largest picture read: 256 MiB of B, G, R, X, more than an 8K video frame and
// still a sure allocation on a 32-bit host.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;

// Pictures larger than these are refused before any pixel memory is taken.
struct PictureLimits {
    int32_t maxSide = kMaxFrameSide;
    int64_t maxPixels = kMaxPicturePixels;
};

// Any PNG; grey and palette pictures are expanded to colour, 16-bit samples cut to their high
// byte, and an alpha channel or transparent colour is dropped (the filter's pixels carry no
// alpha): X is 0 in every pixel. Damaged or truncated files are refused with libpng's reason.
Expected<Picture> ReadPng(const std::string &path, const PictureLimits &limits = {});
// The same from an open stream; `name` names it in messages.
Expected<Picture> ReadPng(std::FILE *stream, const std::string &name,
                          const PictureLimits &limits = {});

// An RGB PNG without alpha: X carries no colour and is not written. The file is replaced only
// once the whole picture is written (see output_file.h).
Status WritePng(const std::string &path, const Picture &picture);
Status WritePng(std::FILE *stream, const std::string &name, const Picture &picture);
