// A deliberately plain border repair to check ProcessFrame against (and to time it against):
// every sweep visits every pixel of the frame, line by line from its edge inward, and decides
// the pixel's bands from the band rules alone. Beyond the dialog's range it follows the
// filter's choices: 64-bit arithmetic, smear quotient truncated toward zero, smear source
// clamped to the frame, offset B of bottom and left in the smear and fade bands.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "border_settings.h"

namespace border_reference {

using namespace kantora;

struct Edge {
    int64_t B, S, T, F;
};

inline Edge EdgeOf(const BorderSettings &s, Side side) {
    return {s.blackRegion[side], s.smearRegion[side], s.stretchFactor[side], s.fadeRegion[side]};
}

inline uint32_t &PixelAt(uint32_t *frame, ptrdiff_t pitch, int64_t x, int64_t y) {
    return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(frame) + y * pitch)[x];
}

inline uint32_t Scale(uint32_t v, int64_t num, int64_t den) {
    const uint64_t n = static_cast<uint64_t>(num), d = static_cast<uint64_t>(den);
    const uint64_t r = ((v >> 16) & 0xFF) * n / d;
    const uint64_t g = ((v >> 8) & 0xFF) * n / d;
    const uint64_t b = (v & 0xFF) * n / d;
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

// One pixel of the top or right sweep at position p; `line(q)` reads the pixel at position q
// of the same column or row.
template <class LineAt>
uint32_t PositionRule(uint32_t v, int64_t p, int64_t lines, const Edge &e, uint32_t colour,
                      LineAt line) {
    if (p <= e.B)
        v = colour;
    if (e.B < p && p < e.S + e.T) {
        int64_t q = e.S + (e.T + 1) * (p - e.B) / (e.S + e.T - e.B);
        v = line(std::clamp<int64_t>(q, 1, lines));
    }
    if (e.B < p && p < e.F)
        v = Scale(v, p - e.B, e.F - e.B);
    return v;
}

// One pixel of the bottom or left sweep at offset o; `line(q)` reads offset q.
template <class LineAt>
uint32_t OffsetRule(uint32_t v, int64_t o, int64_t lines, const Edge &e, uint32_t colour,
                    LineAt line) {
    if (o < e.B)
        v = colour;
    if (e.B <= o && o < e.S + e.T) {
        int64_t q = e.S + (e.T + 1) * o / (e.S + e.T);
        v = line(std::clamp<int64_t>(q, 0, lines - 1));
    }
    if (e.B <= o && o < e.F)
        v = Scale(v, o - e.B, e.F - e.B);
    return v;
}

inline void TopSweep(uint32_t *f, ptrdiff_t pitch, int32_t w, int32_t h, const BorderSettings &s) {
    const Edge e = EdgeOf(s, Top);
    for (int64_t p = 1; p <= h; ++p)
        for (int64_t x = 0; x < w; ++x) {
            uint32_t &px = PixelAt(f, pitch, x, h - p);
            px = PositionRule(px, p, h, e, s.borderColour,
                              [&](int64_t q) { return PixelAt(f, pitch, x, h - q); });
        }
}

inline void BottomSweep(uint32_t *f, ptrdiff_t pitch, int32_t w, int32_t h,
                        const BorderSettings &s) {
    const Edge e = EdgeOf(s, Bottom);
    for (int64_t o = 0; o < h; ++o)
        for (int64_t x = 0; x < w; ++x) {
            uint32_t &px = PixelAt(f, pitch, x, o);
            px = OffsetRule(px, o, h, e, s.borderColour,
                            [&](int64_t q) { return PixelAt(f, pitch, x, q); });
        }
}

inline void RightSweep(uint32_t *f, ptrdiff_t pitch, int32_t w, int32_t h,
                       const BorderSettings &s) {
    const Edge e = EdgeOf(s, Right);
    for (int64_t y = 0; y < h; ++y)
        for (int64_t p = 1; p <= w; ++p) {
            uint32_t &px = PixelAt(f, pitch, w - p, y);
            px = PositionRule(px, p, w, e, s.borderColour,
                              [&](int64_t q) { return PixelAt(f, pitch, w - q, y); });
        }
}

inline void LeftSweep(uint32_t *f, ptrdiff_t pitch, int32_t w, int32_t h, const BorderSettings &s) {
    const Edge e = EdgeOf(s, Left);
    for (int64_t y = 0; y < h; ++y)
        for (int64_t o = 0; o < w; ++o) {
            uint32_t &px = PixelAt(f, pitch, o, y);
            px = OffsetRule(px, o, w, e, s.borderColour,
                            [&](int64_t q) { return PixelAt(f, pitch, q, y); });
        }
}

inline void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                         int32_t w, int32_t h, const BorderSettings &s) {
    if (w <= 0 || h <= 0)
        return;
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            PixelAt(dst, dstPitch, x, y) = PixelAt(const_cast<uint32_t *>(src), srcPitch, x, y);
    auto topBottom = [&] {
        TopSweep(dst, dstPitch, w, h, s);
        BottomSweep(dst, dstPitch, w, h, s);
    };
    auto sides = [&] {
        RightSweep(dst, dstPitch, w, h, s);
        LeftSweep(dst, dstPitch, w, h, s);
    };
    if (s.processTopBottomFirst) {
        topBottom();
        sides();
    } else {
        sides();
        topBottom();
    }
}

}  // namespace border_reference
