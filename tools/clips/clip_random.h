// Random numbers for the clip maker: uniform draws from the clip's generator, and a fast
// source of grain and noise for every pixel.
#pragma once

#include <cstdint>
#include <random>

namespace clips {

inline int32_t Between(std::mt19937 &random, int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
}
inline double Uniform(std::mt19937 &random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}
inline bool Chance(std::mt19937 &random, double p) { return Uniform(random, 0.0, 1.0) < p; }

// Roughly normal noise of unit spread from four uniform bytes (a sum of four uniforms),
// cheap enough for every pixel of every frame.
class PixelNoise {
public:
    explicit PixelNoise(uint32_t seed) : state_(seed | 1u) {}
    uint32_t Bits() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    float Next() {
        const uint32_t s = Bits();
        const int sum = int(s & 0xFF) + int((s >> 8) & 0xFF) + int((s >> 16) & 0xFF) + int(s >> 24);
        return float(sum - 510) * (1.0f / 147.2f);  // spread of the sum: sqrt(4 * 65535 / 12)
    }

private:
    uint32_t state_;
};

inline uint8_t ToByte(float v) { return uint8_t(v < 0.0f ? 0.0f : v > 255.0f ? 255.0f : v + 0.5f); }

}  // namespace clips
