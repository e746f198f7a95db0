#include "suggest_settings.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "dark_band.h"
#include "depths.h"
#include "frames_alike.h"
#include "line_damage.h"

// From damage to values, per edge (see README.md, "Suggesting the settings"):
//   - uneven dark columns: a black band one line wider than the widest of them, so that the
//     edge becomes straight and a half-dark column at the band's end is covered too;
//   - torn, noisy, bright or flickering lines: two more torn lines, or one more bright line,
//     are counted as damaged (the innermost torn rows are torn least and can drown in grain;
//     a second bright row is fainter than the first), and those lines are smeared from the
//     first line beyond them, stretch 0; when the smear covers two or more lines, a fade
//     reaching one line further darkens the repeated lines towards the edge, where the eye
//     expects the picture to end;
//   - both: the black band, and the smear beyond it where the damage reaches further.
// Torn lines are looked for at the top and bottom only, bright lines at the top only: tape
// damage tears rows, not columns, and a bright line is the top's damage; a bright stripe
// elsewhere is far more often picture.
// No band reaches past DeepestBand() lines (depths.h).

namespace suggest {

namespace {

constexpr int32_t kTornMargin = 2;
constexpr int32_t kBrightMargin = 1;

const char *const kEdgeNames[kEdgeCount] = {"top", "bottom", "left", "right"};
const char *const kLineWords[kEdgeCount] = {"rows", "rows", "columns", "columns"};

// How sure a finding is, from the share of frames (or rows) that show it; from a still
// picture never more than fairly sure.
const char *Sureness(double share, bool still) {
    if (share >= 0.8)
        return still ? "fairly sure" : "sure";
    if (share >= 0.5 && !still)
        return "fairly sure";
    return "unsure";
}

std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char *format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string LineRange(int32_t first, int32_t last) {
    return first == last ? Format("%d", first) : Format("%d-%d", first, last);
}

bool OffsetNumbered(Edge side) { return side == Bottom || side == Left; }

// What showed torn rows, as the explanation says it: ", seen in their colour and noise".
std::string SignsText(unsigned signs) {
    static const struct {
        unsigned sign;
        const char *words;
    } kWords[] = {{kTornByBrightness, "brightness"},
                  {kTornByNoise, "noise"},
                  {kTornByColour, "colour"},
                  {kTornByShift, "sideways shift"}};
    std::vector<const char *> seen;
    for (const auto &w : kWords)
        if (signs & w.sign)
            seen.push_back(w.words);
    std::string text;
    for (size_t k = 0; k < seen.size(); ++k)
        text += std::string(k == 0                 ? ", seen in their "
                            : k + 1 == seen.size() ? " and "
                                                   : ", ") +
                seen[k];
    return text;
}

// Values that smear lines black+1..damaged from line damaged+1 (the first good line), and
// fade them when the smear repeats one line more than once.
void ChooseSmear(Edge side, int32_t damaged, EdgeValues &v) {
    v.smear = OffsetNumbered(side) ? damaged : damaged + 1;
    v.stretch = 0;
    if (damaged - v.black >= 2)
        v.fade = v.smear + 1;
}

// What the chosen values do, in the edge's lines counted from 1 at the edge.
void DescribeValues(Edge side, const EdgeValues &v, std::vector<std::string> &out) {
    const char *lines = kLineWords[side];
    if (v.black > 0)
        out.push_back(Format("  black %d: %s %s painted black", v.black, lines,
                             LineRange(1, v.black).c_str()));
    if (v.smear > 0) {
        const bool offset = OffsetNumbered(side);
        const int32_t lastSmeared = offset ? v.smear : v.smear - 1;
        const int32_t source = lastSmeared + 1;
        out.push_back(Format("  smear %d, stretch %d: %s %s become copies of %s %d", v.smear,
                             v.stretch, lines, LineRange(v.black + 1, lastSmeared).c_str(),
                             side == Top || side == Bottom ? "row" : "column", source));
    }
    if (v.fade > 0) {
        const int32_t lastFaded = OffsetNumbered(side) ? v.fade : v.fade - 1;
        out.push_back(Format("  fade %d: %s %s darkened, more towards the edge", v.fade, lines,
                             LineRange(v.black + 1, lastFaded).c_str()));
    }
}

void JudgeEdge(const BorderSurvey &survey, Edge side, bool still, EdgeValues &v,
               std::vector<std::string> &out) {
    const EdgeSurvey &edge = survey.Survey(side);
    const int32_t extent = ExtentOf(side, survey.Width(), survey.Height());
    const int32_t deepest = DeepestBand(extent);
    const char *name = kEdgeNames[side];
    const char *lines = kLineWords[side];

    const DarkBand dark =
        FindDarkBand(edge.Runs(), DeepestDarkBand(extent), WidestDarkSpread(extent),
                     still ? survey.FramesMeasured() : 0);
    const LineDamage damage = side == Left || side == Right
                                  ? LineDamage{}
                                  : FindLineDamage(edge, DeepestTornRows(extent),
                                                   side == Top ? BrightDepth(extent) : 0, still);
    bool said = false;
    if (dark.found && dark.uneven) {
        v.black = std::min(dark.widest + 1, deepest);
        out.push_back(Format("%s: dark %s %d to %d wide, uneven from row to row (in %.0f%% of "
                             "rows: %s)",
                             name, lines, dark.narrowest, dark.widest, 100.0 * dark.share,
                             Sureness(dark.share, still)));
        said = true;
    } else if (dark.found) {
        out.push_back(Format("%s: a straight dark band %d %s wide, part of the picture "
                             "(letterboxing): left alone",
                             name, dark.widest, lines));
        said = true;
    }
    if (damage.kind != LineDamageKind::None) {
        const int32_t margin =
            damage.kind == LineDamageKind::TornOrNoisy ? kTornMargin : kBrightMargin;
        const int32_t counted = std::min(damage.lines + margin, deepest - 1);
        const bool torn = damage.kind == LineDamageKind::TornOrNoisy;
        const char *what =
            torn ? (still ? "torn or noisy" : "torn or noisy, differently in every frame")
                 : (still ? "too bright" : "too bright or flickering");
        if (counted > v.black) {
            const std::string how = still ? Sureness(damage.share, still)
                                          : Format("in %.0f%% of frames: %s", 100.0 * damage.share,
                                                   Sureness(damage.share, still));
            out.push_back(Format("%s: %s %s %s%s (%s)", name, lines,
                                 LineRange(1, damage.lines).c_str(), what,
                                 SignsText(damage.signs).c_str(), how.c_str()));
            ChooseSmear(side, counted, v);
            said = true;
        }
    }
    if (!said)
        out.push_back(Format("%s: nothing found: left alone", name));
    DescribeValues(side, v, out);
}

}  // namespace

Suggestion SuggestSettings(const BorderSurvey &survey) {
    Suggestion s;
    if (!survey.Measurable()) {
        s.refusal = Format("frames of %dx%d are too small to judge (at least %dx%d)",
                           survey.Width(), survey.Height(), kSmallestSide, kSmallestSide);
    } else if (!survey.SawDetail()) {
        s.refusal = "every frame is a single colour: there is nothing to judge";
    }
    if (!s.refusal.empty()) {
        s.explanation.push_back("not judged: " + s.refusal + "; every value left at 0");
        return s;
    }
    const bool few = survey.FramesMeasured() < kFewestMovingFrames;
    const bool still = few || FramesAlike(survey);
    if (few)
        s.explanation.push_back(
            Format("judged from %s alone: what changes from frame to frame cannot be seen, so only "
                   "what a still picture shows counts, and less surely",
                   survey.FramesMeasured() == 1 ? "one picture" : "two frames"));
    else if (still)
        s.explanation.push_back(
            Format("judged as one picture: its %d frames are alike (no line changes by more than "
                   "%.0f level from frame to frame, but for a few), so what changes from frame to "
                   "frame shows nothing; only what a still picture shows counts, and less surely",
                   survey.FramesMeasured(), kAlikeChange));
    for (int side = 0; side < kEdgeCount; ++side)
        JudgeEdge(survey, Edge(side), still, s.edges[size_t(side)], s.explanation);
    return s;
}

kantora::ConfigValues ScriptValues(const Suggestion &suggestion) {
    kantora::BorderSettings settings{};
    kantora::ResetBorderSettings(settings);
    for (int edge = 0; edge < kEdgeCount; ++edge)
        kantora::SetEdgeValues(settings, SideOf(Edge(edge)), suggestion.edges[size_t(edge)]);
    return kantora::ConfigValuesOf(settings);
}

}  // namespace suggest
