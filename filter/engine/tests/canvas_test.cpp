// What other hosts do with the engine: convert the read strips into a canvas whose other pixels
// are left over from before, repair it, and take the change strips back; or repair pixels whose
// top byte is alpha. Either way the picture must be the plain repair's, with each pixel's alpha
// as it came.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "alpha_repair.h"
#include "border_reference.h"
#include "canvas.h"
#include "reach.h"
#include "strips.h"

namespace {

using namespace kantora;

// Settings whose bands mostly leave the middle of a small frame alone.
BorderSettings RandomSettings(std::mt19937 &rng, int32_t width, int32_t height) {
    BorderSettings s{};
    ResetBorderSettings(s);
    s.processTopBottomFirst = rng() % 2 == 0;
    s.borderColour = rng();
    for (Side side : {Top, Bottom, Left, Right}) {
        const uint32_t extent = uint32_t(side == Top || side == Bottom ? height : width);
        s.smearRegion[side] = int32_t(rng() % (extent / 2 + 1));
        s.blackRegion[side] = int32_t(rng() % (extent / 4 + 1));
        s.fadeRegion[side] = int32_t(rng() % (extent / 2 + 1));
        s.stretchFactor[side] = int32_t(rng() % 4);
    }
    return s;
}

// The plain repair of a top-down picture.
std::vector<uint32_t> Reference(std::vector<uint32_t> picture, int32_t width, int32_t height,
                                const BorderSettings &s) {
    std::vector<uint32_t> out(picture.size());
    const ptrdiff_t pitch = -ptrdiff_t{width} * 4;
    const size_t bottom = size_t(height - 1) * width;
    border_reference::ProcessFrame(&picture[bottom], pitch, &out[bottom], pitch, width, height, s);
    return out;
}

// copy(row from the top, first column, columns) for every row of every strip.
template <class Copy>
void CopyStrips(const std::vector<Strip> &strips, Copy copy) {
    for (const Strip &s : strips)
        for (int32_t r = 0; r < s.rows; ++r)
            copy(s.y + r * s.rowStep, s.x, s.width);
}

TEST(BgrxCanvas, RepairsTheChangeStripsFromTheReadStripsAlone) {
    const PictureLayout layouts[] = {{37, 29, 1, 1, false}, {40, 32, 2, 2, false},
                                     {40, 32, 2, 2, true},  {33, 20, 2, 1, true},
                                     {1, 1, 1, 1, false},   {6, 4, 2, 2, true}};
    std::mt19937 rng(77);
    BgrxCanvas canvas;
    for (int iteration = 0; iteration < 300; ++iteration) {
        const PictureLayout &layout = layouts[iteration % 6];
        const int32_t w = layout.width, h = layout.height;
        std::vector<uint32_t> picture(size_t(w) * h), output(picture.size());
        for (uint32_t &p : picture)
            p = rng();
        const BorderSettings s = RandomSettings(rng, w, h);
        const StripPlan plan = PlanStrips(layout, ReachOf(s, w, h));

        ASSERT_TRUE(canvas.Resize(w, h));
        // What a previous frame left stands beside what is converted in.
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                reinterpret_cast<uint32_t *>(canvas.Row(y))[x] = rng();
        CopyStrips(plan.reads, [&](int32_t y, int32_t x, int32_t count) {
            std::memcpy(canvas.Row(y) + 4 * x, &picture[size_t(y) * w + x], 4 * size_t(count));
        });
        canvas.Repair(s);
        output = picture;
        CopyStrips(plan.changes, [&](int32_t y, int32_t x, int32_t count) {
            std::memcpy(&output[size_t(y) * w + x], canvas.Row(y) + 4 * x, 4 * size_t(count));
        });
        ASSERT_EQ(output, Reference(picture, w, h, s)) << "iteration " << iteration;
    }
}

TEST(AlphaRepair, KeepsEveryPixelsAlphaApartAndInPlaceWithEitherPitch) {
    std::mt19937 rng(78);
    std::vector<uint8_t> saved;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const int32_t w = 1 + int32_t(rng() % 40), h = 1 + int32_t(rng() % 30);
        std::vector<uint32_t> picture(size_t(w) * h);
        for (uint32_t &p : picture)
            p = rng();
        const BorderSettings s = RandomSettings(rng, w, h);
        std::vector<uint32_t> expected = Reference(picture, w, h, s);
        for (size_t i = 0; i < picture.size(); ++i)
            expected[i] = (expected[i] & 0x00FFFFFFu) | (picture[i] & 0xFF000000u);

        for (const bool topDown : {true, false}) {
            // Top-down rows are handed over from the last with a negative pitch.
            const ptrdiff_t pitch = (topDown ? -1 : 1) * ptrdiff_t{w} * 4;
            const size_t first = topDown ? size_t(h - 1) * w : 0;
            std::vector<uint32_t> source = picture, apart(picture.size()), inPlace = picture;
            if (!topDown) {  // the same picture bottom-up
                for (int32_t y = 0; y < h; ++y)
                    std::memcpy(&source[size_t(h - 1 - y) * w], &picture[size_t(y) * w], 4 * w);
                inPlace = source;
            }
            RepairKeepingAlpha(&source[first], pitch, &apart[first], pitch, w, h, s);
            RepairInPlaceKeepingAlpha(&inPlace[first], pitch, w, h, s, saved);
            for (int32_t y = 0; y < h; ++y) {
                const size_t row = size_t(topDown ? y : h - 1 - y) * w;
                for (int32_t x = 0; x < w; ++x) {
                    ASSERT_EQ(apart[row + x], expected[size_t(y) * w + x]) << x << "," << y;
                    ASSERT_EQ(inPlace[row + x], expected[size_t(y) * w + x]) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
