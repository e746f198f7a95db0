// Which frames of an input to look at when only a sample is wanted, spread over all of it.
#pragma once

#include <cstdint>
#include <vector>

namespace filterhost {

// `wanted` frame numbers spread evenly over `total` frames (all of them when there are no
// more), in rising order.
inline std::vector<int64_t> EvenlySpread(int64_t total, int64_t wanted) {
    std::vector<int64_t> frames;
    if (total <= 0 || wanted <= 0)
        return frames;
    const int64_t count = total < wanted ? total : wanted;
    for (int64_t k = 0; k < count; ++k)
        frames.push_back(k * total / count + total / (2 * count));
    return frames;
}

// For an input whose length is known only at its end (a pipe): every frame at first, then, each
// time another `wanted` frames have been taken, every second, fourth, eighth... frame. What is
// taken then grows with the logarithm of the length and still reaches the input's end.
class StreamSampler {
public:
    explicit StreamSampler(int64_t wanted) : wanted_(wanted > 0 ? wanted : 1) {}

    // Whether frame `index` (counted from 0, asked in order) is taken.
    bool Take(int64_t index) {
        if (index % stride_ != 0)
            return false;
        if (++takenAtStride_ == wanted_) {
            takenAtStride_ = 0;
            stride_ *= 2;
        }
        return true;
    }

private:
    int64_t wanted_;
    int64_t stride_ = 1;
    int64_t takenAtStride_ = 0;
};

}  // namespace filterhost
