#include "frame_size.h"

#include <string>

#include "decimal_number.h"

Expected<FrameSize> ParseFrameSize(std::string_view text) {
    const size_t x = text.find('x');
    FrameSize size;
    if (x == std::string_view::npos ||
        !ParseDecimal(text.substr(0, x), 1, kMaxFrameSide, size.width) ||
        !ParseDecimal(text.substr(x + 1), 1, kMaxFrameSide, size.height))
        return Fail("bad --size '" + std::string(text) +
                        "': expected WIDTHxHEIGHT, each from 1 to " +
                        std::to_string(kMaxFrameSide) + ", such as 720x576",
                    FailureKind::Usage);
    return size;
}
