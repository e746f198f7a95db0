// The undamaged picture of a clip, frame by frame, with its grain.
#pragma once

#include <memory>
#include <random>

#include "clip_random.h"
#include "damaged_clip.h"

namespace clips {

class PictureMaker {
public:
    virtual ~PictureMaker() = default;
    virtual void Render(int32_t frameIndex, Frame &frame) = 0;
};

std::unique_ptr<PictureMaker> MakePicture(const ClipRecipe &recipe, std::mt19937 &random);

// Film grain of the given spread (levels) over the whole frame, alike in B, G and R or in each
// apart (`colour`).
void AddGrain(Frame &frame, float spread, PixelNoise &noise, bool colour);

}  // namespace clips
