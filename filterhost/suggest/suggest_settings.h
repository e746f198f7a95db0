// The filter's sixteen values chosen from what a BorderSurvey measured, with the reasons as
// text lines for the user.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "band_plan.h"
#include "config_layout.h"
#include "border_survey.h"
#include "edges.h"

namespace suggest {

using kantora::EdgeValues;

struct Suggestion {
    std::array<EdgeValues, kEdgeCount> edges;  // indexed by Edge: Top, Bottom, Left, Right
    // Per edge what was found (which lines, what damage, how sure) and what each chosen
    // value does, one line each; or the reason for refusing.
    std::vector<std::string> explanation;
    // Why the clip was not judged (then every value is 0); empty when it was.
    std::string refusal;
};

Suggestion SuggestSettings(const BorderSurvey &survey);

// The sixteen values in the order of the filter's Config call (kantora::kConfigLayout).
kantora::ConfigValues ScriptValues(const Suggestion &suggestion);

}  // namespace suggest
