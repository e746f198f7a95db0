#include "border_survey.h"

#include <algorithm>

namespace suggest {

namespace {

// Lines measured beyond the deepest band: the band's innermost line is compared with these.
constexpr int32_t kLinesBeyondBand = 8;

int32_t MeasuredLines(int32_t extent) {
    return std::min(DeepestBand(extent) + kLinesBeyondBand, extent);
}

EdgeSurvey SurveyOf(Side side, int32_t width, int32_t height) {
    const int32_t extent = ExtentOf(side, width, height);
    // Dark runs only at the sides: a dark band at the top or bottom is letterboxing or dark
    // picture far more often than damage.
    const bool sides = side == Left || side == Right;
    return EdgeSurvey(MeasuredLines(extent), sides ? DeepestBand(extent) : 0);
}

bool HasDetail(const EdgeLines &lines) {
    const uint8_t first = lines.Line(1)[0];
    for (int32_t n = 1; n <= lines.Count(); ++n) {
        const uint8_t *line = lines.Line(n);
        for (int32_t x = 0; x < lines.Length(); ++x)
            if (line[x] != first)
                return true;
    }
    return false;
}

}  // namespace

int32_t DeepestBand(int32_t extent) { return std::min(extent / 3, kDeepestBand); }

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
    for (int side = 0; side < kSideCount; ++side) {
        EdgeSurvey &edge = edges_[size_t(side)];
        lines_.Read(frame, Side(side), edge.Lines(), edge.DarkSpan());
        if (!sawDetail_)
            sawDetail_ = HasDetail(lines_);
        edge.Add(lines_);
    }
    return true;
}

}  // namespace suggest
