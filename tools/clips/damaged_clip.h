// Clips with known damage at their edges, for trying and testing the settings suggestion:
// picture of several kinds (colour bars, flat-shaded animation, textured moving picture, dark
// scenes, letterboxed picture, picture with strong lines near its edges, fine texture grey or
// colourful that changes in every frame), film grain, and the
// damage that captures show (head-switching noise at the bottom, dark columns of uneven width
// at the sides, a bright or flickering top line), each with random extents. The clip says
// which lines it damaged: the lines the damage changed visibly in some frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "border_settings.h"

namespace clips {

using kantora::Bottom;
using kantora::kSideCount;
using kantora::Left;
using kantora::Right;
using kantora::Side;
using kantora::Top;

enum class Content {
    Bars,
    Animation,
    LiveAction,
    DarkScene,
    Letterboxed,
    StrongEdges,
    FineTexture,
    ColourfulTexture
};
constexpr int kContentCount = 8;
const char *ContentName(Content content);

// Kinds of damage, combined as bits.
enum DamageKind : unsigned {
    kHeadSwitching = 1,  // bottom rows torn sideways and noisy, differently in every frame
    kDarkColumns = 2,    // black to dark grey columns of uneven width at one or both sides
    kBrightTopLine = 4,  // one or two top rows too bright, or flickering
};

struct ClipRecipe {
    int32_t width = 720, height = 576;
    int32_t frames = 30;
    Content content = Content::LiveAction;
    unsigned damage = 0;  // DamageKind bits
    uint32_t seed = 1;
    // Every frame the first one, damage and all, as a still picture looped into a clip is;
    // in some clips with a little new noise in every frame, as a lossy codec leaves.
    bool still = false;
};

// One frame: top-down rows of 32-bit pixels, bytes B, G, R, X.
struct Frame {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bgrx;
    uint8_t *Pixel(int32_t x, int32_t y) {
        return &bgrx[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
};

// Makes the clip's frames one at a time; what it damaged is known once every frame is made.
class DamagedClip {
public:
    explicit DamagedClip(const ClipRecipe &recipe);
    ~DamagedClip();
    DamagedClip(const DamagedClip &) = delete;
    DamagedClip &operator=(const DamagedClip &) = delete;

    // False once all the recipe's frames are made.
    bool Next(Frame &frame);
    // Per edge (by Side) the lines from the edge that the damage visibly changed in some
    // frame: lines 1..DamagedLines(side) of that edge; 0 for an undamaged edge.
    int32_t DamagedLines(Side side) const { return damaged_[size_t(side)]; }

private:
    struct Plan;
    ClipRecipe recipe_;
    // `random_` draws the picture and the damage; `variety_` what clips were made without
    // before (colour grain and colour noise, a still clip's noise), so that clips drawn
    // without it are made as they were.
    std::mt19937 random_, variety_;
    std::unique_ptr<Plan> plan_;
    int32_t made_ = 0;
    std::array<int32_t, kSideCount> damaged_{};
};

}  // namespace clips
