// The size of the raw frames a stream carries, as --size gives it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace filterhost {

struct FrameSize {
    int32_t width = 0;
    int32_t height = 0;
    size_t Bytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }
};

// Largest width or height accepted: a frame then still fits in memory on a 32-bit host.
constexpr int32_t kMaxFrameSide = 16384;

// "720x576": two decimal numbers from 1 to kMaxFrameSide joined by 'x'; nothing for any other
// text.
std::optional<FrameSize> ParseFrameSize(std::string_view text);

}  // namespace filterhost
