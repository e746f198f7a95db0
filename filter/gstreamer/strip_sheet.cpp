#include "strip_sheet.h"

#include <algorithm>

namespace kantora::gstreamer {

namespace {

int64_t RoundUp(int64_t value, int32_t step) { return (value + step - 1) / step * step; }

}  // namespace

SheetLayout LayOutSheet(const std::vector<Strip> &strips, int32_t down, int32_t margin,
                        int32_t lineWidth) {
    down = std::max(down, 1);
    int64_t area = 0, tallest = 0;
    for (const Strip &s : strips) {
        if (s.width <= 0 || s.rows <= 0)
            continue;
        area += int64_t{margin + s.width} * s.rows;
        tallest = std::max<int64_t>(tallest, s.rows);
    }
    SheetLayout sheet;
    if (area == 0)
        return sheet;
    const int64_t rows = (area + std::max(lineWidth, 1) - 1) / std::max(lineWidth, 1);
    sheet.height = static_cast<int32_t>(std::min(RoundUp(rows, down), RoundUp(tallest, down)));
    int64_t x = 0;
    for (const Strip &s : strips) {
        if (s.width <= 0 || s.rows <= 0)
            continue;
        for (int32_t row = 0; row < s.rows; row += sheet.height) {
            x += margin;
            const Strip piece{s.x, s.y + row * s.rowStep, s.width,
                              std::min(sheet.height, s.rows - row), s.rowStep};
            sheet.slabs.push_back({piece, static_cast<int32_t>(x)});
            x += s.width;
        }
    }
    sheet.width = static_cast<int32_t>(x + margin);
    return sheet;
}

}  // namespace kantora::gstreamer
