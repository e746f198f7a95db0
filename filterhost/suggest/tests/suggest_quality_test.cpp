// The suggestion on generated clips of every picture kind, clean and damaged in every way, at
// the common frame sizes, checked as quality_check.h says: every damaged line repaired, and
// every clip left unharmed (a clean clip all zeros, no good lines taken beyond the bounds, no
// band past a third). Clips of 24 frames, single pictures (the first frame of a clip) and
// still clips (the first frame repeated), the last two judged as a still picture is. Prints
// the results by kind and the clips that fail. 120 clips of 24 frames, 40 pictures and 40
// still clips: some thirty seconds.
#include <gtest/gtest.h>

#include <cstdio>

#include "quality_check.h"

namespace {

struct FrameSize {
    int32_t width, height;
};
const FrameSize kSizes[] = {{720, 576}, {704, 576}, {720, 480},  {704, 480},
                            {640, 480}, {352, 288}, {1920, 1080}};

const unsigned kDamageSets[] = {
    0, clips::kHeadSwitching, clips::kDarkColumns, clips::kBrightTopLine,
    clips::kHeadSwitching | clips::kDarkColumns | clips::kBrightTopLine};

// Clips per picture kind and damage set, each at the next frame size: `variants` of `frames`
// frames each, still or not. Under AddressSanitizer the pixel work is several times slower
// and what is checked there is memory, not quality: one clip of each.
struct ClipRun {
    int32_t frames;
    int variants;
    uint32_t firstSeed;
    bool still;
};
#if defined(__SANITIZE_ADDRESS__)
const ClipRun kRuns[] = {{24, 1, 1, false}, {1, 1, 51, false}, {8, 1, 61, true}};
#else
const ClipRun kRuns[] = {{24, 3, 1, false}, {1, 1, 51, false}, {8, 1, 61, true}};
#endif

TEST(SuggestQuality, RepairsEveryDamagedLineAndLeavesGoodPictureAlone) {
    quality::Results results;
    for (const ClipRun &run : kRuns) {
        size_t sizeTurn = 0;
        for (int content = 0; content < clips::kContentCount; ++content)
            for (size_t d = 0; d < sizeof kDamageSets / sizeof kDamageSets[0]; ++d)
                for (int variant = 0; variant < run.variants; ++variant) {
                    const FrameSize size = kSizes[sizeTurn++ % (sizeof kSizes / sizeof kSizes[0])];
                    clips::ClipRecipe recipe;
                    recipe.width = size.width;
                    recipe.height = size.height;
                    recipe.frames = run.frames;
                    recipe.content = clips::Content(content);
                    recipe.damage = kDamageSets[d];
                    recipe.seed = uint32_t(1000 * content + 100 * int(d) + variant) + run.firstSeed;
                    recipe.still = run.still;
                    const quality::Verdict verdict = results.Check(recipe);
                    EXPECT_TRUE(verdict.harmed.empty() && verdict.missed.empty())
                        << run.frames << " frames: " << verdict.report;
                }
    }
    std::printf("\n%s", results.Table().c_str());
}

}  // namespace
