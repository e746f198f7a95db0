// Whether a clip's frames are all alike, or nearly (a still picture looped into a clip, through
// a lossy codec at most): then what changes from frame to frame shows nothing, and the clip is
// judged as one picture is.
#pragma once

#include "border_survey.h"

namespace suggest {

// The most a line of a still clip changes from one frame to the next, in levels: a codec's
// rounding, not grain.
constexpr double kAlikeChange = 1.0;

// True when at every edge nearly every line changes by at most kAlikeChange from frame to frame
// (in the median frame, or on average over the rows of a side), and there were at least two
// frames to compare.
bool FramesAlike(const BorderSurvey &survey);

}  // namespace suggest
