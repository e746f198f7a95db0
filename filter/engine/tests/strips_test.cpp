// The strips cover every line within the depths, nothing twice, and no more than one sample
// step beyond; they start and end on whole chroma samples, except at the picture's own edges;
// an interlaced picture whose rows share chroma comes in one strip per field, each rectangle
// covering whole chroma rows of both fields.
#include "strips.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace kantora;

TEST(EdgeStrips, CoverTheDepthsInWholeChromaSamplesAndFields) {
    struct Case {
        PictureLayout layout;
        int32_t across, down;  // the sample grid the strips keep to
        bool byField;
    } cases[] = {
        {{64, 48, 1, 1, false}, 1, 1, false}, {{97, 63, 1, 1, false}, 1, 1, false},
        {{64, 48, 2, 2, false}, 2, 2, false}, {{97, 63, 2, 2, false}, 2, 2, false},
        {{10, 6, 2, 2, false}, 2, 2, false},  {{7, 9, 2, 2, false}, 2, 2, false},
        {{64, 48, 2, 1, false}, 2, 1, false}, {{97, 63, 2, 1, true}, 2, 1, false},
        {{64, 48, 1, 1, true}, 1, 1, false},  {{64, 48, 2, 2, true}, 2, 4, true},
        {{97, 60, 2, 2, true}, 2, 4, true},   {{10, 8, 2, 2, true}, 2, 4, true},
        {{8, 4, 2, 2, true}, 2, 4, true},     {{97, 62, 2, 2, true}, 2, 2, false},
        {{720, 576, 2, 2, true}, 2, 4, true},
    };
    const EdgeDepths depths[] = {
        {0, 0, 0, 0},   {11, 12, 12, 11}, {1, 0, 0, 3},   {5, 0, 7, 0},         {0, 9, 0, 0},
        {40, 40, 3, 3}, {3, 3, 60, 60},   {200, 1, 1, 1}, {100, 100, 100, 100}, {2, 1, 0, 0},
    };
    for (const Case &c : cases)
        for (const EdgeDepths &d : depths) {
            const int32_t width = c.layout.width, height = c.layout.height;
            SCOPED_TRACE(testing::Message() << width << "x" << height << " depths " << d.top << ","
                                            << d.bottom << "," << d.left << "," << d.right);
            const std::vector<Strip> strips = EdgeStrips(c.layout, d);
            std::vector<int> cover(size_t(width) * height, 0);
            for (size_t k = 0; k < strips.size(); ++k) {
                const Strip &s = strips[k];
                ASSERT_EQ(s.rowStep, c.byField ? 2 : 1);
                // The rectangle the strip lies in: its own rows, or both fields' rows.
                const int32_t top = s.y - (c.byField ? s.y % 2 : 0);
                const int32_t end = top + s.rows * s.rowStep;
                ASSERT_TRUE(s.width > 0 && s.rows > 0);
                ASSERT_TRUE(s.x >= 0 && top >= 0 && s.x + s.width <= width && end <= height);
                if (c.byField) {
                    // Top field, then the bottom field of the same rectangle.
                    const Strip &first = strips[k - k % 2], &second = strips[k - k % 2 + 1];
                    ASSERT_EQ(first.y % 2, 0);
                    ASSERT_EQ(second, (Strip{first.x, first.y + 1, first.width, first.rows, 2}));
                }
                // Inner edges on the grid.
                EXPECT_EQ(s.x % c.across, 0);
                EXPECT_EQ(top % c.down, 0);
                if (s.x + s.width < width) {
                    EXPECT_EQ((s.x + s.width) % c.across, 0);
                }
                if (end < height) {
                    EXPECT_EQ(end % c.down, 0);
                }
                for (int32_t r = 0; r < s.rows; ++r)
                    for (int32_t x = s.x; x < s.x + s.width; ++x)
                        ++cover[size_t(s.y + r * s.rowStep) * width + x];
            }
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x) {
                    const int n = cover[size_t(y) * width + x];
                    const bool within =
                        y < d.top || y >= height - d.bottom || x < d.left || x >= width - d.right;
                    // One grid step further in than the depth at most.
                    const bool near = (d.top > 0 && y < d.top + c.down - 1) ||
                                      (d.bottom > 0 && y >= height - d.bottom - (c.down - 1)) ||
                                      (d.left > 0 && x < d.left + c.across - 1) ||
                                      (d.right > 0 && x >= width - d.right - (c.across - 1));
                    ASSERT_LE(n, 1) << x << "," << y;
                    if (within) {
                        ASSERT_EQ(n, 1) << x << "," << y;
                    }
                    if (n == 1) {
                        ASSERT_TRUE(near) << x << "," << y;
                    }
                }
        }
}

}  // namespace
