// The reach derived from the settings, checked against the filter's pixels on random frames and
// settings: nothing beyond `changes` changes, each edge on its own changes the line at its
// depth, and what lies beyond `reads` leaves every changed pixel as it was.
#include "reach.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "border_repair.h"

namespace {

using namespace kantora;

// A frame top-down, handed over as hosts hand such frames: its last row with a negative pitch.
struct Picture {
    int32_t width, height;
    std::vector<uint32_t> pixels;

    Picture(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}
    uint32_t &At(int32_t x, int32_t fromTop) { return pixels[size_t(fromTop) * width + x]; }
    uint32_t At(int32_t x, int32_t fromTop) const { return pixels[size_t(fromTop) * width + x]; }
};

Picture Repaired(Picture source, const BorderSettings &s) {
    Picture out(source.width, source.height);
    const ptrdiff_t pitch = -ptrdiff_t{source.width} * 4;
    ProcessFrame(&source.At(0, source.height - 1), pitch, &out.At(0, out.height - 1), pitch,
                 source.width, source.height, s);
    return out;
}

bool Within(const EdgeDepths &d, const Picture &p, int32_t x, int32_t y) {
    return y < d.top || y >= p.height - d.bottom || x < d.left || x >= p.width - d.right;
}

// Bands that leave the middle of the frame alone, or now and then the dialog's range, values
// beyond it and negative ones.
int32_t RandomValue(std::mt19937 &rng, int32_t extent, bool narrow) {
    const uint32_t kind = narrow ? 9 : rng() % 10;
    if (kind == 0)
        return rng() % 4 == 0 ? INT32_MIN + int32_t(rng() % 3) : -int32_t(rng() % 8) - 1;
    if (kind == 1)
        return rng() % 4 == 0 ? INT32_MAX - int32_t(rng() % 3) : 256 + int32_t(rng() % 100000);
    if (kind <= 4)
        return int32_t(rng() % 256);
    return int32_t(rng() % uint32_t(extent / 3 + 1));
}

// How deep from `side` the changed pixels lie.
int32_t DeepestChange(const Picture &before, const Picture &after, Side side) {
    const bool rows = side == Top || side == Bottom;
    const int32_t extent = rows ? before.height : before.width;
    const int32_t across = rows ? before.width : before.height;
    int32_t deepest = 0;
    for (int32_t n = 1; n <= extent; ++n)
        for (int32_t i = 0; i < across; ++i) {
            const int32_t line = side == Top || side == Left ? n - 1 : extent - n;
            const int32_t x = rows ? i : line, y = rows ? line : i;
            if (before.At(x, y) != after.At(x, y))
                deepest = n;
        }
    return deepest;
}

int32_t DepthOf(const EdgeDepths &d, Side side) {
    return side == Top ? d.top : side == Bottom ? d.bottom : side == Left ? d.left : d.right;
}

TEST(Reach, IsExactlyWhatTheFilterChangesAndAllItReads) {
    const int32_t sizes[][2] = {{1, 1}, {2, 2}, {1, 6}, {7, 1}, {3, 5}, {13, 9}, {100, 80}};
    std::mt19937 rng(20250301);
    for (int iteration = 0; iteration < 700; ++iteration) {
        const bool listed = iteration < 7 * 20;
        const int32_t w = listed ? sizes[iteration % 7][0] : 1 + int32_t(rng() % 100);
        const int32_t h = listed ? sizes[iteration % 7][1] : 1 + int32_t(rng() % 80);
        BorderSettings s{};
        ResetBorderSettings(s);
        s.processTopBottomFirst = rng() % 2 == 0;
        s.borderColour = rng();
        const bool narrow = iteration % 2 == 0;
        for (Side side : {Top, Bottom, Left, Right}) {
            if (rng() % 4 == 0)
                continue;  // an edge left alone
            const int32_t extent = side == Top || side == Bottom ? h : w;
            s.smearRegion[side] = RandomValue(rng, extent, narrow);
            s.blackRegion[side] = RandomValue(rng, extent, narrow);
            s.fadeRegion[side] = RandomValue(rng, extent, narrow);
            s.stretchFactor[side] = RandomValue(rng, extent, narrow);
        }
        Picture source(w, h);
        for (uint32_t &p : source.pixels)
            p = rng();
        const BorderReach reach = ReachOf(s, w, h);
        const Picture repaired = Repaired(source, s);
        SCOPED_TRACE(testing::Message() << "iteration " << iteration << ", " << w << "x" << h);

        for (Side side : {Top, Bottom, Left, Right}) {
            const int32_t extent = side == Top || side == Bottom ? h : w;
            const int32_t changes = DepthOf(reach.changes, side),
                          reads = DepthOf(reach.reads, side);
            ASSERT_TRUE(0 <= changes && changes <= reads && reads <= extent) << "side " << side;
            // The edge on its own changes exactly its lines up to its depth.
            BorderSettings alone{};
            ResetBorderSettings(alone);
            alone.borderColour = s.borderColour;
            alone.smearRegion[side] = s.smearRegion[side];
            alone.blackRegion[side] = s.blackRegion[side];
            alone.fadeRegion[side] = s.fadeRegion[side];
            alone.stretchFactor[side] = s.stretchFactor[side];
            ASSERT_EQ(DeepestChange(source, Repaired(source, alone), side), changes)
                << "side " << side;
        }
        // All four edges together change nothing beyond their depths, and nothing beyond the
        // lines they read alters what they change.
        Picture other = source;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                if (!Within(reach.changes, source, x, y)) {
                    ASSERT_EQ(repaired.At(x, y), source.At(x, y)) << x << "," << y;
                }
                if (!Within(reach.reads, source, x, y))
                    other.At(x, y) = rng();
            }
        const Picture repairedOther = Repaired(other, s);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (Within(reach.changes, source, x, y)) {
                    ASSERT_EQ(repairedOther.At(x, y), repaired.At(x, y)) << x << "," << y;
                }
    }
}

}  // namespace
