// The quality test's check on any number of other generated clips, for the README's table:
//   suggest_quality_table [--first SEED] [--count N] [--frames N]
// Each clip's picture kind, damage and frame size, and whether it is a still clip (one in six,
// when it has more than one frame), are drawn from its seed. Prints the clips whose suggestion
// fails the check, then the table by kind.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "quality_check.h"

int main(int argc, char **argv) {
    uint32_t first = 1;
    int count = 100, frames = 24;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (option == "--first")
            first = uint32_t(value);
        else if (option == "--count")
            count = int(value);
        else if (option == "--frames")
            frames = int(std::max(1L, value));
        else {
            std::fputs("usage: suggest_quality_table [--first SEED] [--count N] [--frames N]\n",
                       stderr);
            return 2;
        }
    }
    static const int32_t kSizes[][2] = {{720, 576}, {704, 576}, {720, 480},  {704, 480},
                                        {640, 480}, {352, 288}, {1920, 1080}};
    static const unsigned kDamageSets[] = {
        0, clips::kHeadSwitching, clips::kDarkColumns, clips::kBrightTopLine,
        clips::kHeadSwitching | clips::kDarkColumns | clips::kBrightTopLine};
    quality::Results results;
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        const uint32_t seed = first + uint32_t(i);
        std::mt19937 draw(seed);
        clips::ClipRecipe recipe;
        const auto &size = kSizes[draw() % 7];
        recipe.width = size[0];
        recipe.height = size[1];
        recipe.frames = frames;
        recipe.content = clips::Content(draw() % clips::kContentCount);
        recipe.damage = kDamageSets[draw() % 5];
        recipe.seed = seed;
        recipe.still = draw() % 6 == 0 && frames > 1;
        const quality::Verdict verdict = results.Check(recipe);
        if (!verdict.report.empty()) {
            ++failed;
            std::printf("%s\n", verdict.report.c_str());
        }
    }
    std::printf("\n%d of %d clips failed\n\n%s", failed, count, results.Table().c_str());
    return 0;
}
