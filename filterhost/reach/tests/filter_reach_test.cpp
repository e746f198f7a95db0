// The reach read from the filter's own script text, checked against the filter's pixel code:
// on a random frame exactly the lines within `changes` change, and what lies beyond `reads`
// does not alter them.
#include "filter_reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "border_repair.h"
#include "config_layout.h"
#include "script_form.h"

namespace {

using namespace kantora;

constexpr int32_t kWidth = 560, kHeight = 530;  // room for two bands of the dialog's range

using Values = ConfigValues;

std::string ConfigText(const Values &values) {
    BorderSettings settings{};
    ResetBorderSettings(settings);
    SetConfigValues(settings, values);
    char text[256];
    EXPECT_TRUE(WriteConfigCall(settings, text, sizeof text));
    return text;
}

// Frames top-down with a negative pitch, as the filter takes them: row 0 is the top.
struct Picture {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t{kWidth} * kHeight);
    uint32_t &At(int32_t x, int32_t y) { return pixels[size_t(y) * kWidth + x]; }
};

Picture Repaired(Picture source, const Values &values, bool topBottomFirst) {
    BorderSettings settings{};
    ResetBorderSettings(settings);
    SetConfigValues(settings, values);
    settings.processTopBottomFirst = topBottomFirst;
    Picture out;
    const ptrdiff_t pitch = -ptrdiff_t{kWidth} * 4;
    ProcessFrame(&source.At(0, kHeight - 1), pitch, &out.At(0, kHeight - 1), pitch, kWidth, kHeight,
                 settings);
    return out;
}

bool Inside(const EdgeDepths &d, int32_t x, int32_t y) {
    return y < d.top || y >= kHeight - d.bottom || x < d.left || x >= kWidth - d.right;
}

// How deep from each edge the changed pixels lie, measured along the middle column and the
// middle row, which lie beyond the other edges' bands.
EdgeDepths ChangedDepths(Picture &before, Picture &after) {
    const auto changed = [&](int32_t x, int32_t y) { return before.At(x, y) != after.At(x, y); };
    EdgeDepths d;
    for (int32_t n = 1; n <= kHeight / 2; ++n) {
        if (changed(kWidth / 2, n - 1))
            d.top = n;
        if (changed(kWidth / 2, kHeight - n))
            d.bottom = n;
    }
    for (int32_t n = 1; n <= kWidth / 2; ++n) {
        if (changed(n - 1, kHeight / 2))
            d.left = n;
        if (changed(kWidth - n, kHeight / 2))
            d.right = n;
    }
    return d;
}

TEST(FilterReach, CoversExactlyWhatTheFilterChangesAndReads) {
    // Script order: top, bottom, right, left; each smear, black, fade, stretch.
    struct Case {
        Values values;
        bool tight;  // the innermost line of each band does change on a random picture
    } cases[] = {
        {{8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4}, true},
        {{3, 0, 0, 0, 0, 10, 20, 0, 7, 0, 0, 0, 0, 10, 0, 0}, true},
        {{0, 5, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0}, true},  // black bands alone
        {{0, 0, 9, 0, 0, 0, 9, 0, 0, 0, 9, 0, 0, 0, 9, 0}, true},  // fades alone
        {{6, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, true},  // smears alone
        {{4, 9, 0, 2, 4, 9, 0, 2, 4, 9, 6, 2, 4, 9, 6, 2}, true},  // smear inside the black band
        {{48, 16, 64, 16, 48, 16, 64, 16, 48, 16, 64, 16, 48, 16, 64, 16}, true},
        {{255, 0, 0, 0, 0, 255, 255, 0, 200, 3, 255, 55, 1, 0, 255, 255}, true},
        // A stretch without smear on the right copies each line onto itself.
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 0}, false},
    };
    std::mt19937 random(7);
    for (const auto &[values, tight] : cases) {
        const std::string text = ConfigText(values);
        const FilterReach reach = ReachOfFilter(kBorderFilterName, text);
        ASSERT_FALSE(reach.wholeFrame) << text;
        Picture source;
        for (uint32_t &p : source.pixels)
            p = random() & 0xFFFFFF;
        for (const bool topBottomFirst : {true, false}) {
            Picture repaired = Repaired(source, values, topBottomFirst);
            const EdgeDepths changed = ChangedDepths(source, repaired);
            if (tight) {
                EXPECT_EQ(changed, reach.changes) << text;
            }
            EXPECT_TRUE(changed.top <= reach.changes.top &&
                        changed.bottom <= reach.changes.bottom &&
                        changed.left <= reach.changes.left && changed.right <= reach.changes.right)
                << text;
            // Anything beyond the lines read leaves the changed lines as they were.
            Picture other = source;
            for (int32_t y = 0; y < kHeight; ++y)
                for (int32_t x = 0; x < kWidth; ++x)
                    if (!Inside(reach.reads, x, y))
                        other.At(x, y) = random() & 0xFFFFFF;
            Picture repairedOther = Repaired(other, values, topBottomFirst);
            for (int32_t y = 0; y < kHeight; ++y)
                for (int32_t x = 0; x < kWidth; ++x)
                    if (Inside(reach.changes, x, y)) {
                        ASSERT_EQ(repaired.At(x, y), repairedOther.At(x, y))
                            << text << " at " << x << "," << y;
                    }
        }
    }
}

TEST(FilterReach, IsTheWholeFrameForWhatItDoesNotKnow) {
    const std::string typical = "Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4)";
    struct Case {
        std::string_view filter;
        std::string text;
        bool known;
    } cases[] = {
        {kBorderFilterName, typical, true},
        {"Another filter", typical, false},
        {kBorderFilterName, "Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12)", false},
        {kBorderFilterName, "Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, -1)", false},
        {kBorderFilterName, "Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 256)", false},
        {kBorderFilterName, "Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, \"4\")",
         false},
        {kBorderFilterName, typical + "; Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)",
         false},
        {kBorderFilterName, "Other(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4)", false},
        {kBorderFilterName, "", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReachOfFilter(c.filter, c.text).wholeFrame, !c.known)
            << c.filter << ": " << c.text;
}

}  // namespace
