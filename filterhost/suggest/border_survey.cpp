#include "border_survey.h"

#include <algorithm>

#include "depths.h"

namespace suggest {

namespace {

// Rows are measured line by line at the top and bottom, for torn and bright rows; columns
// for dark runs at the sides. A dark band at the top or bottom is letterboxing or dark
// picture far more often than damage; tape damage tears rows, not columns.
EdgeSurvey SurveyOf(Edge side, int32_t width, int32_t height) {
    const int32_t extent = std::max(0, ExtentOf(side, width, height));
    if (side == Top || side == Bottom)
        return EdgeSurvey(MeasuredRows(extent), true, 0);
    return EdgeSurvey(MeasuredColumns(extent), false, DeepestDarkBand(extent));
}

// Whether the lines read hold more than one value.
bool HasDetail(const EdgeLines &lines) {
    const bool luma = lines.LumaCount() > 0;
    const int32_t count = luma ? lines.LumaCount() : lines.StrongestCount();
    const uint8_t first = luma ? lines.Line(1)[0] : lines.StrongestLine(1)[0];
    for (int32_t n = 1; n <= count; ++n) {
        const uint8_t *line = luma ? lines.Line(n) : lines.StrongestLine(n);
        for (int32_t x = 0; x < lines.Length(); ++x)
            if (line[x] != first)
                return true;
    }
    return false;
}

}  // namespace

BorderSurvey::BorderSurvey(int32_t width, int32_t height)
    : width_(width),
      height_(height),
      measurable_(width >= kSmallestSide && height >= kSmallestSide),
      edges_{SurveyOf(Top, width, height), SurveyOf(Bottom, width, height),
             SurveyOf(Left, width, height), SurveyOf(Right, width, height)} {}

bool BorderSurvey::Add(const uint8_t *topRow, ptrdiff_t pitch, int32_t width, int32_t height) {
    if (width != width_ || height != height_ || topRow == nullptr)
        return false;
    ++frames_;
    if (!measurable_)
        return true;
    const FrameView frame{topRow, pitch, width, height};
    for (int side = 0; side < kEdgeCount; ++side) {
        EdgeSurvey &edge = edges_[size_t(side)];
        lines_.Read(frame, Edge(side), edge.MeasuresLines() ? edge.Lines() : 0, edge.DarkSpan());
        if (!sawDetail_)
            sawDetail_ = HasDetail(lines_);
        edge.Add(lines_);
    }
    return true;
}

}  // namespace suggest
