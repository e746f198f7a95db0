// Damaged lines at one edge that carry picture worth keeping nearby: rows torn sideways or
// noisy, differently in every frame, and lines that are too bright or flicker. Each line is
// judged against the lines further in, frame by frame.
#pragma once

#include <cstdint>

#include "edge_survey.h"

namespace suggest {

enum class LineDamageKind { None, TornOrNoisy, BrightOrFlickering };

// What showed rows to be torn or noisy, combined as bits.
enum TornSign : unsigned {
    kTornByBrightness = 1,  // their difference in brightness from the rows inside them
    kTornByNoise = 2,       // their noise along the row, unlike the picture's
    kTornByColour = 4,      // their colour or colour noise, unlike the picture's
    kTornByShift = 8,       // their shift sideways against the rows inside them
};

struct LineDamage {
    LineDamageKind kind = LineDamageKind::None;
    int32_t lines = 0;   // lines 1..lines from the edge are damaged
    double share = 0.0;  // of the frames, those in which the innermost damaged line shows it
    unsigned signs = 0;  // torn or noisy rows: the TornSign bits that showed them
};

// `deepest`: the deepest line that may be damaged; `brightDepth`: the deepest line a bright or
// flickering band may reach; `still`: too few frames to see how lines change from frame to
// frame, so that only what each frame shows is judged.
LineDamage FindLineDamage(const EdgeSurvey &edge, int32_t deepest, int32_t brightDepth, bool still);

}  // namespace suggest
