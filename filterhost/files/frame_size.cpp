#include "frame_size.h"

#include "decimal_number.h"

namespace filterhost {

std::optional<FrameSize> ParseFrameSize(std::string_view text) {
    const size_t x = text.find('x');
    FrameSize size;
    if (x == std::string_view::npos ||
        !ParseDecimal(text.substr(0, x), 1, kMaxFrameSide, size.width) ||
        !ParseDecimal(text.substr(x + 1), 1, kMaxFrameSide, size.height))
        return std::nullopt;
    return size;
}

}  // namespace filterhost
