// The suggestion on generated clips of every picture kind, clean and damaged in every way, at
// the common frame sizes, checked as quality_check.h says. Prints the results by kind.
// About 90 clips of 24 frames: some ten seconds.
#include <gtest/gtest.h>

#include <cstdio>

#include "quality_check.h"

namespace {

struct FrameSize {
    int32_t width, height;
};
const FrameSize kSizes[] = {{720, 576}, {704, 576}, {720, 480}, {704, 480},
                            {640, 480}, {352, 288}, {1920, 1080}};

const unsigned kDamageSets[] = {0, clips::kHeadSwitching, clips::kDarkColumns, clips::kBrightTopLine,
                                clips::kHeadSwitching | clips::kDarkColumns | clips::kBrightTopLine};
// Clips per picture kind and damage set, each at the next frame size.
constexpr int kVariants = 3;

TEST(SuggestQuality, RepairsEveryDamagedLineAndLeavesCleanClipsAlone) {
    quality::Results results;
    size_t sizeTurn = 0;
    for (int content = 0; content < clips::kContentCount; ++content)
        for (size_t d = 0; d < sizeof kDamageSets / sizeof kDamageSets[0]; ++d)
            for (int variant = 0; variant < kVariants; ++variant) {
                const FrameSize size = kSizes[sizeTurn++ % (sizeof kSizes / sizeof kSizes[0])];
                clips::ClipRecipe recipe;
                recipe.width = size.width;
                recipe.height = size.height;
                recipe.frames = 24;
                recipe.content = clips::Content(content);
                recipe.damage = kDamageSets[d];
                recipe.seed = uint32_t(1000 * content + 100 * int(d) + variant + 1);
                const std::string wrong = results.Check(recipe);
                EXPECT_TRUE(wrong.empty()) << wrong;
            }
    std::printf("\n%s", results.Table().c_str());
}

}  // namespace
