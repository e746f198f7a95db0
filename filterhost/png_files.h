// PNG pictures in and out, through stb_image and stb_image_write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expected.h"

// A picture as top-down B, G, R, X bytes, the layout of a raw frame.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgrx;
};

// Any PNG; grey and palette pictures are expanded to colour, and an alpha channel is dropped
// (the filter's pixels carry no alpha): X is 0 in every pixel.
Expected<Picture> ReadPng(const std::string &path);

// An RGB PNG without alpha: X carries no colour and is not written.
Status WritePng(const std::string &path, const Picture &picture);
