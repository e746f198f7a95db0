#include "quality_check.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "border_repair.h"
#include "config_layout.h"
#include "suggest_settings.h"

// An edge's damaged lines must each be painted black or smeared from an undamaged line; the
// black and smear bands may take at most 3 undamaged lines beyond the damage and the fade at
// most 12; no band may pass a third of the frame; a clean clip must get all zeros. What the
// filter does is read from the filter itself, run with the suggested values.

namespace quality {

namespace {

using namespace kantora;

constexpr int32_t kMostGoodLinesTaken = 3;
constexpr int32_t kMostGoodLinesFaded = 12;
const char *const kSideNames[kSideCount] = {"top", "bottom", "left", "right"};

// Per edge, what the filter did to each line with the suggested values.
struct EdgeOutcome {
    std::vector<int32_t> shown;  // by line n - 1: 0 painted, else the line now shown there
    int32_t lastChanged = 0;     // deepest line painted or smeared
    int32_t lastFaded = 0;       // deepest line painted or faded
};

// Runs the filter on a frame whose every row (or column) holds its own number, with the fade
// off, and on a white frame with the fade alone, and reads the lines across the middle, up to
// the middle of the frame (the opposite edge's bands lie beyond).
EdgeOutcome RunFilter(const BorderSettings &settings, Side side, int32_t width, int32_t height) {
    const bool rows = side == Top || side == Bottom;
    const int32_t extent = rows ? height : width;
    const bool countedDown = side == Top || side == Right;  // in memory, rows are bottom-up
    auto memoryIndex = [&](int32_t n) { return countedDown ? extent - n : n - 1; };
    std::vector<uint32_t> in(size_t(width) * size_t(height)), out(in.size());
    const ptrdiff_t pitch = ptrdiff_t(width) * 4;
    auto read = [&](int32_t n) {
        const int32_t m = memoryIndex(n);
        return rows ? out[size_t(m) * size_t(width) + size_t(width / 2)]
                    : out[size_t(height / 2) * size_t(width) + size_t(m)];
    };
    EdgeOutcome o;
    o.shown.assign(size_t(extent / 2), 0);

    BorderSettings smearOnly = settings;
    for (int e = 0; e < kSideCount; ++e)
        smearOnly.fadeRegion[e] = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            in[size_t(y) * size_t(width) + size_t(x)] = uint32_t(rows ? y : x) + 1;
    ProcessFrame(in.data(), pitch, out.data(), pitch, width, height, smearOnly);
    for (int32_t n = 1; n <= extent / 2; ++n) {
        const uint32_t code = read(n);
        const int32_t index = int32_t(code) - 1;
        const int32_t shown = code == 0 ? 0 : countedDown ? extent - index : index + 1;
        o.shown[size_t(n - 1)] = shown;
        if (shown != n)
            o.lastChanged = n;
    }

    BorderSettings fadeOnly = settings;
    for (int e = 0; e < kSideCount; ++e)
        fadeOnly.smearRegion[e] = fadeOnly.stretchFactor[e] = 0;
    std::fill(in.begin(), in.end(), 0x00FFFFFFu);
    ProcessFrame(in.data(), pitch, out.data(), pitch, width, height, fadeOnly);
    for (int32_t n = 1; n <= extent / 2; ++n)
        if (read(n) != 0x00FFFFFFu)
            o.lastFaded = n;
    return o;
}

void CheckEdge(const BorderSettings &settings, Side side, int32_t damaged, int32_t width,
               int32_t height, Tally &tally, Verdict &verdict) {
    const int32_t extent = side == Top || side == Bottom ? height : width;
    const EdgeOutcome o = RunFilter(settings, side, width, height);
    const std::string where =
        std::string(" ") + kSideNames[side] + " (damaged " + std::to_string(damaged) + "):";
    std::string missed, harmed;
    for (int32_t n = 1; n <= damaged; ++n) {
        const int32_t shown = o.shown[size_t(n - 1)];
        if (shown != 0 && shown <= damaged) {
            missed = " line " + std::to_string(n) + " left damaged (shows line " +
                     std::to_string(shown) + ");";
            break;
        }
    }
    const int32_t taken = std::max(0, o.lastChanged - damaged);
    const int32_t faded = std::max(0, o.lastFaded - damaged);
    if (taken > kMostGoodLinesTaken)
        harmed += " black/smear take " + std::to_string(taken) + " good lines;";
    if (faded > kMostGoodLinesFaded)
        harmed += " fade takes " + std::to_string(faded) + " good lines;";
    if (std::max(o.lastChanged, o.lastFaded) > extent / 3)
        harmed += " a band passes a third of the frame;";
    if (damaged > 0) {
        ++tally.damagedEdges;
        tally.repairedEdges += missed.empty() && harmed.empty();
    }
    tally.goodLinesTaken += taken;
    tally.goodLinesFaded += faded;
    tally.mostTaken = std::max(tally.mostTaken, taken);
    tally.mostFaded = std::max(tally.mostFaded, faded);
    if (!missed.empty())
        verdict.missed += where + missed;
    if (!harmed.empty())
        verdict.harmed += where + harmed;
}

std::string ValuesText(const suggest::Suggestion &s) {
    std::string text;
    const std::array<int32_t, 16> values = suggest::ScriptValues(s);
    for (size_t k = 0; k < values.size(); ++k)
        text += (k % 4 == 0 ? " " : "/") + std::to_string(values[k]);
    return text;
}

}  // namespace

std::string KindOf(const clips::ClipRecipe &recipe) {
    std::string kind;
    switch (recipe.damage) {
    case 0:
        kind = std::string("clean ") + clips::ContentName(recipe.content);
        break;
    case clips::kHeadSwitching:
        kind = "head switching";
        break;
    case clips::kDarkColumns:
        kind = "dark columns";
        break;
    case clips::kBrightTopLine:
        kind = "bright top line";
        break;
    default:
        kind = "mixed";
    }
    return recipe.frames == 1 ? kind + ", one picture"
           : recipe.still     ? kind + ", still clip"
                              : kind;
}

Verdict Results::Check(const clips::ClipRecipe &recipe) {
    clips::DamagedClip clip(recipe);
    suggest::BorderSurvey survey(recipe.width, recipe.height);
    clips::Frame frame;
    while (clip.Next(frame))
        survey.Add(frame.bgrx.data(), ptrdiff_t(frame.width) * 4, frame.width, frame.height);
    const suggest::Suggestion s = suggest::SuggestSettings(survey);
    kantora::BorderSettings settings;
    kantora::ResetBorderSettings(settings);
    kantora::SetConfigValues(settings, suggest::ScriptValues(s));

    const std::string kind = KindOf(recipe);
    if (!byKind_.count(kind))
        kindOrder_.push_back(kind);
    Tally &tally = byKind_[kind];
    Verdict verdict;
    if (recipe.damage == 0)
        if (suggest::ScriptValues(s) != std::array<int32_t, 16>{})
            verdict.harmed += " values not all zero;";
    for (int e = 0; e < kSideCount; ++e)
        CheckEdge(settings, Side(e), clip.DamagedLines(Side(e)), recipe.width, recipe.height, tally,
                  verdict);
    ++tally.clips;
    const bool passed = verdict.missed.empty() && verdict.harmed.empty();
    tally.passed += passed;
    if (passed)
        return verdict;
    verdict.report = std::string(clips::ContentName(recipe.content)) + ", " + kind + ", " +
                     std::to_string(recipe.width) + "x" + std::to_string(recipe.height) +
                     ", seed " + std::to_string(recipe.seed) + ": Config values" + ValuesText(s) +
                     ":" + verdict.missed + verdict.harmed;
    for (const std::string &line : s.explanation)
        verdict.report += "\n    " + line;
    return verdict;
}

std::string Results::Table() const {
    std::string table =
        "| kind | clips | passed | damaged edges repaired | good lines in black and smear bands "
        "(mean per edge, most) | good lines faded (mean per edge, most) |\n"
        "|---|---|---|---|---|---|\n";
    for (const std::string &kind : kindOrder_) {
        const Tally &t = byKind_.at(kind);
        const double edges = 4.0 * t.clips;
        char row[256];
        std::snprintf(row, sizeof row, "| %s | %d | %d | %d of %d | %.2f, %d | %.2f, %d |\n",
                      kind.c_str(), t.clips, t.passed, t.repairedEdges, t.damagedEdges,
                      double(t.goodLinesTaken) / edges, t.mostTaken,
                      double(t.goodLinesFaded) / edges, t.mostFaded);
        table += row;
    }
    return table;
}

}  // namespace quality
