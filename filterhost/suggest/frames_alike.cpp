#include "frames_alike.h"

#include <algorithm>
#include <vector>

namespace suggest {

namespace {

// A few lines may change where the rest are still (a flickering top line over a still
// picture); a letterbox or pillarbox bar beside moving picture keeps many still, but not most.
constexpr double kMostMovingShare = 0.1;

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// How much each line changes from one frame to the next: in the median frame for the rows
// measured one by one, on average over the rows for the sides' columns.
std::vector<double> LineChanges(const EdgeSurvey &edge) {
    std::vector<double> changes;
    if (edge.MeasuresLines()) {
        for (int32_t n = 1; n <= edge.Lines(); ++n) {
            std::vector<double> motion;
            for (const FrameLines &f : edge.Frames())
                if (!f.motion.empty())
                    motion.push_back(f.motion[size_t(n - 1)]);
            if (!motion.empty())
                changes.push_back(Median(std::move(motion)));
        }
    } else if (edge.Runs().changeRows > 0) {
        for (int64_t change : edge.Runs().change)
            changes.push_back(double(change) / double(edge.Runs().changeRows));
    }
    return changes;
}

}  // namespace

bool FramesAlike(const BorderSurvey &survey) {
    if (survey.FramesMeasured() < 2 || !survey.Measurable())
        return false;
    for (int side = 0; side < kEdgeCount; ++side) {
        const std::vector<double> changes = LineChanges(survey.Survey(Edge(side)));
        if (changes.empty())
            return false;
        const auto moving = std::count_if(changes.begin(), changes.end(),
                                          [](double c) { return c > kAlikeChange; });
        if (double(moving) > kMostMovingShare * double(changes.size()))
            return false;
    }
    return true;
}

}  // namespace suggest
