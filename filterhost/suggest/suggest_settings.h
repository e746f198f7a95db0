// The filter's sixteen values chosen from what a BorderSurvey measured, with the reasons as
// text lines for the user.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "edges.h"
#include "border_survey.h"

namespace suggest {

// One edge's four values, as the filter's dialog names them.
struct EdgeValues {
    int32_t smear = 0, black = 0, fade = 0, stretch = 0;
};

struct Suggestion {
    std::array<EdgeValues, kEdgeCount> edges;  // indexed by Edge: Top, Bottom, Left, Right
    // Per edge what was found (which lines, what damage, how sure) and what each chosen
    // value does, one line each; or the reason for refusing.
    std::vector<std::string> explanation;
    // Why the clip was not judged (then every value is 0); empty when it was.
    std::string refusal;
};

Suggestion SuggestSettings(const BorderSurvey &survey);

// The sixteen values in the order of the filter's Config call: Top, Bottom, Right, Left (Right
// before Left), and for each edge smear, black, fade, stretch.
std::array<int32_t, 16> ScriptValues(const Suggestion &suggestion);

}  // namespace suggest
