// The suggestion on one generated clip, checked edge by edge with the filter's own bands, and
// the results gathered by kind into a table. Used by the quality test and by
// suggest_quality_table, which runs any number of other clips.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "damaged_clip.h"

namespace quality {

// What one clip is: clean and its picture kind, or its damage; and whether it is one picture
// or a still clip.
std::string KindOf(const clips::ClipRecipe &recipe);

// Results of the clips of one kind.
struct Tally {
    int clips = 0, passed = 0;
    int damagedEdges = 0, repairedEdges = 0;
    int64_t goodLinesTaken = 0, goodLinesFaded = 0;  // summed over all edges
    int mostTaken = 0, mostFaded = 0;
};

// What is wrong with one clip's suggestion; both empty when nothing is.
struct Verdict {
    std::string missed;  // damaged lines left unrepaired
    std::string harmed;  // values on a clean clip, good lines taken beyond the bounds, a band
                         // past a third of the frame
    std::string report;  // the clip, the values, what is wrong and the explanation
};

class Results {
public:
    // Makes the clip, runs the suggestion on it and checks it.
    Verdict Check(const clips::ClipRecipe &recipe);
    // The table by kind, as Markdown.
    std::string Table() const;

private:
    std::map<std::string, Tally> byKind_;
    std::vector<std::string> kindOrder_;
};

}  // namespace quality
