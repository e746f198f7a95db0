// The strips cover every line within the depths, nothing twice, and no more than one sample
// step beyond; they start and end on the sample grid, except at the picture's own edges.
#include "band_strips.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(BandStrips, CoverTheDepthsOnTheSampleGrid) {
    const SampleGrid grids[] = {{1, 1}, {2, 2}, {2, 1}, {2, 4}};
    const int32_t sizes[][2] = {{64, 48}, {97, 63}, {10, 6}, {7, 9}};
    const EdgeDepths depths[] = {
        {0, 0, 0, 0},   {11, 12, 12, 11}, {1, 0, 0, 3},   {5, 0, 7, 0},         {0, 9, 0, 0},
        {40, 40, 3, 3}, {3, 3, 60, 60},   {200, 1, 1, 1}, {100, 100, 100, 100},
    };
    for (const SampleGrid &grid : grids)
        for (const auto &[width, height] : sizes)
            for (const EdgeDepths &d : depths) {
                const std::vector<Strip> strips = BandStrips(width, height, d, grid);
                std::vector<int> cover(size_t(width) * height, 0);
                for (const Strip &s : strips) {
                    ASSERT_TRUE(s.width > 0 && s.height > 0);
                    ASSERT_TRUE(s.x >= 0 && s.y >= 0 && s.x + s.width <= width &&
                                s.y + s.height <= height);
                    // Inner edges on the grid.
                    EXPECT_EQ(s.x % grid.across, 0);
                    EXPECT_EQ(s.y % grid.down, 0);
                    if (s.x + s.width < width) {
                        EXPECT_EQ((s.x + s.width) % grid.across, 0);
                    }
                    if (s.y + s.height < height) {
                        EXPECT_EQ((s.y + s.height) % grid.down, 0);
                    }
                    for (int32_t y = s.y; y < s.y + s.height; ++y)
                        for (int32_t x = s.x; x < s.x + s.width; ++x)
                            ++cover[size_t(y) * width + x];
                }
                for (int32_t y = 0; y < height; ++y)
                    for (int32_t x = 0; x < width; ++x) {
                        const int n = cover[size_t(y) * width + x];
                        const bool within = y < d.top || y >= height - d.bottom || x < d.left ||
                                            x >= width - d.right;
                        // One grid step further in than the depth at most.
                        const bool near =
                            (d.top > 0 && y < d.top + grid.down - 1) ||
                            (d.bottom > 0 && y >= height - d.bottom - (grid.down - 1)) ||
                            (d.left > 0 && x < d.left + grid.across - 1) ||
                            (d.right > 0 && x >= width - d.right - (grid.across - 1));
                        ASSERT_LE(n, 1) << x << "," << y;
                        if (within) {
                            ASSERT_EQ(n, 1) << x << "," << y << " of " << width << "x" << height;
                        }
                        if (n == 1) {
                            ASSERT_TRUE(near) << x << "," << y << " of " << width << "x" << height;
                        }
                    }
            }
}

}  // namespace
