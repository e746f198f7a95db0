// The suggestion on generated clips of every picture kind, clean and damaged in every way, at
// the common frame sizes, checked as quality_check.h says. Every clip must be left unharmed:
// a clean clip all zeros, no good lines taken beyond the bounds, no band past a third. Every
// damaged line repaired is the target; what is held is the share of damaged edges repaired,
// since damage as dark as the picture beside it cannot always be seen. Prints the results by
// kind and the clips that miss. About 90 clips of 24 frames: some fifteen seconds.
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
// Clips per picture kind and damage set, each at the next frame size. Under AddressSanitizer
// the pixel work is several times slower and what is checked there is memory, not quality:
// one clip each.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kVariants = 1;
#else
constexpr int kVariants = 3;
#endif
// Damaged edges left with a damaged line, at most.
constexpr double kMostMissedShare = 0.03;

TEST(SuggestQuality, LeavesGoodPictureAloneAndRepairsNearlyEveryDamagedEdge) {
    quality::Results results;
    int32_t edgesMissed = 0;
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
                const quality::Verdict verdict = results.Check(recipe);
                EXPECT_TRUE(verdict.harmed.empty()) << verdict.report;
                if (!verdict.missed.empty())
                    std::printf("missed: %s\n", verdict.report.c_str());
                edgesMissed += verdict.edgesMissed;
            }
    std::printf("\n%s", results.Table().c_str());
    EXPECT_LE(edgesMissed, kMostMissedShare * results.DamagedEdges())
        << edgesMissed << " of " << results.DamagedEdges() << " damaged edges left damaged";
}

}  // namespace
