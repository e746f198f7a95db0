// The damage models: each is set up once per clip with random extents and applied to every
// frame with new random detail.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "clip_random.h"
#include "damaged_clip.h"

namespace clips {

// Head-switching noise of a VHS capture: the bottom rows torn sideways by amounts that grow
// towards the bottom and change every frame, with noise (in some clips in B, G and R apart:
// colour speckle) and disturbed brightness and colour; the topmost torn row is sometimes torn
// only from somewhere along it.
class HeadSwitching {
public:
    // `colourNoise`: of the noise, the part drawn for each channel apart (0 to 1).
    HeadSwitching(int32_t width, int32_t height, std::mt19937 &random, float colourNoise);
    // `speckle` draws the colour noise, so that `noise` draws the same as without it.
    void Apply(Frame &frame, std::mt19937 &random, PixelNoise &noise, PixelNoise &speckle);

private:
    int32_t rows_, widestShift_;
    double growth_, noise_, disturbance_;
    float colourNoise_;
    int direction_;
    enum class Fill { Black, Noise, Wrap } fill_;
    bool blanked_;
    std::vector<uint8_t> row_;
};

// Black to dark grey columns at one or both sides, their width changing from row to row and
// from frame to frame, sometimes noisy, sometimes with a half-dark column where they end.
class DarkColumns {
public:
    DarkColumns(int32_t width, int32_t height, std::mt19937 &random);
    void Apply(Frame &frame, std::mt19937 &random, PixelNoise &noise);

private:
    struct SideColumns {
        bool present = false;
        int32_t width = 0, rowSwing = 0, frameSwing = 0;
        bool smoothRows = false, soft = false;
        float level = 0, noise = 0;
    };
    std::array<SideColumns, 2> sides_;
};

// One or two top rows brighter than the picture, steadily or flickering, not always in every
// frame.
class BrightTopLine {
public:
    BrightTopLine(int32_t width, int32_t height, std::mt19937 &random);
    // The first frame always has the line.
    void Apply(Frame &frame, std::mt19937 &random, bool first);

private:
    int32_t rows_;
    float lift_;
    double flicker_, presence_;
    bool whiten_;
};

}  // namespace clips
