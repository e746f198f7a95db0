// The suggestion on generated clips of every picture kind, clean and damaged in every way,
// at the common frame sizes. Each edge is checked by running the filter itself with the
// suggested values: every damaged line must be painted or smeared from an undamaged line, the
// black and smear bands may take at most 3 undamaged lines beyond the damage and the fade at
// most 12, no band may pass a third of the frame, and a clean clip must get all zeros.
// Prints the results by kind (the README's table).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "border_process.h"
#include "damaged_clip.h"
#include "suggest_settings.h"

namespace {

using clips::Content;

struct FrameSize {
    int32_t width, height;
};
const FrameSize kSizes[] = {{720, 576}, {704, 576}, {720, 480}, {704, 480},
                            {640, 480}, {352, 288}, {1920, 1080}};
constexpr int kSizeCount = int(sizeof kSizes / sizeof kSizes[0]);

const unsigned kDamageSets[] = {0, clips::kHeadSwitching, clips::kDarkColumns, clips::kBrightTopLine,
                                clips::kHeadSwitching | clips::kDarkColumns | clips::kBrightTopLine};
const char *const kDamageNames[] = {"clean", "head switching", "dark columns", "bright top line",
                                    "all three"};
constexpr int kDamageSetCount = 5;
// Cases per picture kind and damage set; each takes the next frame size.
constexpr int kVariants = 3;
constexpr int32_t kFrames = 24;

// Per edge, what the filter did to each line with the suggested values.
struct EdgeOutcome {
    std::vector<int32_t> source;  // by line n - 1: 0 painted, else the line now shown there
    int32_t lastChanged = 0;      // deepest line painted or smeared
    int32_t lastFaded = 0;        // deepest line painted or faded
};

// Runs the filter on a frame whose every row (or column) holds its own number, with the fade
// off, and on a white frame with the fade alone, and reads the lines across the middle, up to
// the middle of the frame (the opposite edge's bands lie beyond).
EdgeOutcome RunFilter(const suggest::Suggestion &s, Side side, int32_t width, int32_t height) {
    const bool rows = side == Top || side == Bottom;
    const int32_t extent = rows ? height : width;
    BorderSettings settings;
    ResetBorderSettings(settings);
    suggest::ApplySuggestion(s, settings);
    // Line n of the edge as a memory row (rows are stored bottom-up) or column.
    auto memoryIndex = [&](int32_t n) {
        if (side == Top || side == Right)
            return extent - n;
        return n - 1;
    };
    std::vector<uint32_t> in(size_t(width) * size_t(height)), out(in.size());
    const ptrdiff_t pitch = ptrdiff_t(width) * 4;
    EdgeOutcome o;
    o.source.assign(size_t(extent), 0);
    {
        BorderSettings smearOnly = settings;
        for (int e = 0; e < kSideCount; ++e)
            smearOnly.fadeRegion[e] = 0;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                in[size_t(y) * size_t(width) + size_t(x)] = uint32_t(rows ? y : x) + 1;
        ProcessFrame(in.data(), pitch, out.data(), pitch, width, height, smearOnly);
        for (int32_t n = 1; n <= extent / 2; ++n) {
            const int32_t m = memoryIndex(n);
            const uint32_t code = rows ? out[size_t(m) * size_t(width) + size_t(width / 2)]
                                       : out[size_t(height / 2) * size_t(width) + size_t(m)];
            int32_t shown = 0;
            if (code != 0) {
                const int32_t index = int32_t(code) - 1;
                shown = (side == Top || side == Right) ? extent - index : index + 1;
            }
            o.source[size_t(n - 1)] = shown;
            if (shown != n)
                o.lastChanged = n;
        }
    }
    {
        BorderSettings fadeOnly = settings;
        for (int e = 0; e < kSideCount; ++e)
            fadeOnly.smearRegion[e] = fadeOnly.stretchFactor[e] = 0;
        std::fill(in.begin(), in.end(), 0x00FFFFFFu);
        ProcessFrame(in.data(), pitch, out.data(), pitch, width, height, fadeOnly);
        for (int32_t n = 1; n <= extent / 2; ++n) {
            const int32_t m = memoryIndex(n);
            const uint32_t v = rows ? out[size_t(m) * size_t(width) + size_t(width / 2)]
                                    : out[size_t(height / 2) * size_t(width) + size_t(m)];
            if (v != 0x00FFFFFFu)
                o.lastFaded = n;
        }
    }
    return o;
}

struct Tally {
    int cases = 0, passed = 0;
    int damagedEdges = 0, repairedEdges = 0;
    int64_t goodLinesTaken = 0, goodLinesFaded = 0;
    int worstTaken = 0, worstFaded = 0;
};

// Checks one edge; returns what is wrong, or nothing.
std::string CheckEdge(const suggest::Suggestion &s, Side side, int32_t damaged, int32_t width,
                      int32_t height, Tally &tally) {
    const int32_t extent = side == Top || side == Bottom ? height : width;
    const EdgeOutcome o = RunFilter(s, side, width, height);
    std::string wrong;
    for (int32_t n = 1; n <= damaged; ++n) {
        const int32_t shown = o.source[size_t(n - 1)];
        if (shown != 0 && shown <= damaged) {
            wrong += " line " + std::to_string(n) + " left damaged (shows line " +
                     std::to_string(shown) + ");";
            break;
        }
    }
    const int32_t taken = std::max(0, o.lastChanged - damaged);
    const int32_t faded = std::max(0, o.lastFaded - damaged);
    if (taken > 3)
        wrong += " black/smear take " + std::to_string(taken) + " good lines;";
    if (faded > 12)
        wrong += " fade takes " + std::to_string(faded) + " good lines;";
    if (std::max(o.lastChanged, o.lastFaded) > extent / 3)
        wrong += " a band passes a third of the frame;";
    if (damaged > 0) {
        ++tally.damagedEdges;
        tally.repairedEdges += wrong.empty();
    }
    tally.goodLinesTaken += taken;
    tally.goodLinesFaded += faded;
    tally.worstTaken = std::max(tally.worstTaken, taken);
    tally.worstFaded = std::max(tally.worstFaded, faded);
    return wrong;
}

std::string ValuesText(const suggest::Suggestion &s) {
    std::string text;
    for (int e = 0; e < kSideCount; ++e) {
        const auto &v = s.edges[size_t(e)];
        text += " " + std::to_string(v.smear) + "/" + std::to_string(v.black) + "/" +
                std::to_string(v.fade) + "/" + std::to_string(v.stretch);
    }
    return text;
}

TEST(SuggestQuality, RepairsEveryDamagedLineAndLeavesCleanClipsAlone) {
    const char *const kSideNames[kSideCount] = {"top", "bottom", "left", "right"};
    std::map<std::string, Tally> byKind;
    std::vector<std::string> kindOrder;
    int sizeTurn = 0;
    for (int c = 0; c < clips::kContentCount; ++c)
        for (int d = 0; d < kDamageSetCount; ++d)
            for (int variant = 0; variant < kVariants; ++variant) {
                const FrameSize size = kSizes[sizeTurn++ % kSizeCount];
                clips::ClipRecipe recipe;
                recipe.width = size.width;
                recipe.height = size.height;
                recipe.frames = kFrames;
                recipe.content = Content(c);
                recipe.damage = kDamageSets[d];
                recipe.seed = uint32_t(1000 * c + 100 * d + variant + 1);
                clips::DamagedClip clip(recipe);
                suggest::BorderSurvey survey(size.width, size.height);
                clips::Frame frame;
                while (clip.Next(frame))
                    survey.Add(frame.bgrx.data(), ptrdiff_t(frame.width) * 4, frame.width, frame.height);
                const suggest::Suggestion s = suggest::SuggestSettings(survey);

                const std::string kind = d == 0 ? std::string("clean ") + clips::ContentName(Content(c))
                                                : kDamageNames[d];
                if (!byKind.count(kind))
                    kindOrder.push_back(kind);
                Tally &tally = byKind[kind];
                std::string wrong;
                if (d == 0) {
                    for (const auto &v : s.edges)
                        if (v.smear || v.black || v.fade || v.stretch)
                            wrong += " values not all zero;";
                }
                for (int e = 0; e < kSideCount; ++e) {
                    const std::string edgeWrong =
                        CheckEdge(s, Side(e), clip.DamagedLines(Side(e)), size.width, size.height, tally);
                    if (!edgeWrong.empty())
                        wrong += std::string(" ") + kSideNames[e] + " (damaged " +
                                 std::to_string(clip.DamagedLines(Side(e))) + "):" + edgeWrong;
                }
                ++tally.cases;
                tally.passed += wrong.empty();
                std::string explanation;
                for (const auto &line : s.explanation)
                    explanation += "\n    " + line;
                EXPECT_TRUE(wrong.empty())
                    << clips::ContentName(Content(c)) << ", " << kDamageNames[d] << ", "
                    << size.width << "x" << size.height << ", seed " << recipe.seed
                    << ": values" << ValuesText(s) << ":" << wrong << explanation;
            }

    std::printf("\n| kind | clips | passed | damaged edges repaired | good lines in black/smear bands (mean, most) | good lines faded (mean, most) |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const std::string &kind : kindOrder) {
        const Tally &t = byKind[kind];
        const int edges = 4 * t.cases;
        std::printf("| %s | %d | %d | %d of %d | %.2f, %d | %.2f, %d |\n", kind.c_str(), t.cases,
                    t.passed, t.repairedEdges, t.damagedEdges, double(t.goodLinesTaken) / edges,
                    t.worstTaken, double(t.goodLinesFaded) / edges, t.worstFaded);
    }
}

}  // namespace
