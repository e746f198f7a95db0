#include "description.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace kantora::frei0r {

namespace {

// By Side.
constexpr const char *kEdgeTitles[kSideCount] = {"Top", "Bottom", "Left", "Right"};

struct Texts {
    char title[48];
    char explanation[160];
};

// Built once from the Config layout; hosts keep the pointers for as long as the plug-in is
// loaded.
const std::array<ParamDescription, kParamCount> &Descriptions() {
    static std::array<Texts, kConfigValueCount> texts;
    static const std::array<ParamDescription, kParamCount> descriptions = [] {
        std::array<ParamDescription, kParamCount> d{};
        d[kConfigParam] = {"config", ParamKind::Text, "Config line",
                           "A Config(...) line as VirtualDub saves it, the sixteen values apart "
                           "by commas or blanks; when set, it wins over the values below"};
        for (int k = 0; k < kConfigValueCount; ++k) {
            const ConfigValue &v = kConfigLayout[k];
            Texts &t = texts[k];
            std::snprintf(t.title, sizeof t.title, "%s: %s", kEdgeTitles[v.side], v.caption);
            std::snprintf(t.explanation, sizeof t.explanation,
                          "%s edge, %s, in whole lines: the value x %g, rounded (0 to 1 gives %d "
                          "to %d lines)",
                          kEdgeTitles[v.side], v.caption, kLinesPerUnit, v.minimum, v.maximum);
            d[1 + k] = {v.property, ParamKind::Lines, t.title, t.explanation};
        }
        return d;
    }();
    return descriptions;
}

}  // namespace

const ParamDescription &ParamAt(int index) { return Descriptions()[size_t(index)]; }

int32_t LinesFromValue(double value) {
    if (std::isnan(value))
        return 0;
    const double lines = std::round(value * kLinesPerUnit);
    if (lines >= double(INT32_MAX))
        return INT32_MAX;
    if (lines <= double(INT32_MIN))
        return INT32_MIN;
    return int32_t(lines);
}

}  // namespace kantora::frei0r
