#include "damaged_clip.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "damage.h"
#include "picture.h"

namespace clips {

const char *ContentName(Content content) {
    switch (content) {
    case Content::Bars:
        return "colour bars";
    case Content::Animation:
        return "animation";
    case Content::LiveAction:
        return "live action";
    case Content::DarkScene:
        return "dark scene";
    case Content::Letterboxed:
        return "letterboxed";
    case Content::StrongEdges:
        return "strong edges";
    case Content::FineTexture:
        return "fine texture";
    case Content::ColourfulTexture:
        break;
    }
    return "colourful fine texture";
}

namespace {

// A pixel counts as damaged where the damage changed a channel by this much or more: less is
// lost in grain and no one could see it (black shifted over black, a dark band drawn over a
// pillarbox bar).
constexpr int kVisibleChange = 4;
// A row counts as damaged where this share of its pixels changed visibly. A row's pixels
// moved sideways carry their grain along, so that moving flat picture (a letterbox bar, a
// clear sky) changes most pixels by grain alone and looks the same: there a pixel counts
// only where it changed by this many of the grain's spreads too, which the grain moved
// alone reaches in fewer pixels than the share.
constexpr double kVisibleRowShare = 0.02;
constexpr float kGrainSpreads = 4.0f;

bool Changed(const uint8_t *a, const uint8_t *b, int visible = kVisibleChange) {
    return std::abs(a[0] - b[0]) >= visible || std::abs(a[1] - b[1]) >= visible ||
           std::abs(a[2] - b[2]) >= visible;
}

// Rows from the top (or the bottom) that the damage changed visibly, counted from that edge,
// in a frame of grain of the given spread.
int32_t ChangedRows(const Frame &before, const Frame &after, bool fromTop, float grain) {
    const int visible = std::max(kVisibleChange, int(std::ceil(kGrainSpreads * grain)));
    int32_t deepest = 0;
    const int32_t w = after.width;
    for (int32_t n = 1; n <= after.height / 2; ++n) {
        const int32_t y = fromTop ? n - 1 : after.height - n;
        const size_t row = size_t(y) * size_t(w) * 4;
        int32_t changed = 0;
        for (int32_t x = 0; x < w; ++x)
            changed += Changed(&before.bgrx[row + size_t(x) * 4], &after.bgrx[row + size_t(x) * 4],
                               visible);
        if (changed >= kVisibleRowShare * w)
            deepest = n;
    }
    return deepest;
}

// Columns from the left (or the right) that the damage changed visibly in some row.
int32_t ChangedColumns(const Frame &before, const Frame &after, bool fromLeft) {
    int32_t deepest = 0;
    const int32_t w = after.width;
    for (int32_t y = 0; y < after.height; ++y) {
        const size_t row = size_t(y) * size_t(w) * 4;
        for (int32_t n = w / 2; n > deepest; --n) {
            const size_t at = row + size_t(fromLeft ? n - 1 : w - n) * 4;
            if (Changed(&before.bgrx[at], &after.bgrx[at])) {
                deepest = n;
                break;
            }
        }
    }
    return deepest;
}

}  // namespace

struct DamagedClip::Plan {
    std::unique_ptr<PictureMaker> picture;
    float grain = 0;
    bool colourGrain = false;  // grain in B, G and R apart
    float stillNoise = 0;      // a still clip's new noise in every frame after the first
    PixelNoise noise, speckle;
    std::optional<HeadSwitching> headSwitching;
    std::optional<DarkColumns> darkColumns;
    std::optional<BrightTopLine> brightTopLine;
    Frame before, first;

    explicit Plan(uint32_t seed)
        : noise(seed * 2654435761u + 12345u), speckle(seed * 2246822519u + 374761393u) {}
};

DamagedClip::DamagedClip(const ClipRecipe &recipe)
    : recipe_(recipe),
      random_(recipe.seed),
      variety_(recipe.seed * 3266489917u + 668265263u),
      plan_(std::make_unique<Plan>(recipe.seed)) {
    plan_->picture = MakePicture(recipe, random_);
    static const float kGrain[] = {0.0f, 1.5f, 3.0f, 5.0f, 8.0f};
    plan_->grain = kGrain[Between(random_, 0, 4)];
    plan_->colourGrain = Chance(variety_, 0.3);
    if (recipe.still && Chance(variety_, 0.5))
        plan_->stillNoise = float(Uniform(variety_, 0.3, 0.7));
    const float colourNoise = Chance(variety_, 0.5) ? float(Uniform(variety_, 0.3, 1.0)) : 0.0f;
    if (recipe.damage & kHeadSwitching)
        plan_->headSwitching.emplace(recipe.width, recipe.height, random_, colourNoise);
    if (recipe.damage & kDarkColumns)
        plan_->darkColumns.emplace(recipe.width, recipe.height, random_);
    if (recipe.damage & kBrightTopLine)
        plan_->brightTopLine.emplace(recipe.width, recipe.height, random_);
}

DamagedClip::~DamagedClip() = default;

bool DamagedClip::Next(Frame &frame) {
    if (made_ >= recipe_.frames)
        return false;
    if (recipe_.still && made_ > 0) {
        frame = plan_->first;
        AddGrain(frame, plan_->stillNoise, plan_->noise, true);
        ++made_;
        return true;
    }
    frame.width = recipe_.width;
    frame.height = recipe_.height;
    frame.bgrx.assign(size_t(frame.width) * size_t(frame.height) * 4, 0);
    plan_->picture->Render(made_, frame);
    AddGrain(frame, plan_->grain, plan_->noise, plan_->colourGrain);
    // Each damage's lines are the ones it changed visibly, found by comparing the frame before
    // and after it. The top line and the dark columns happen before the head switching in the
    // tape's playback, so the bottom rows' tearing carries them along.
    auto keep = [&](Side side, int32_t lines) {
        damaged_[size_t(side)] = std::max(damaged_[size_t(side)], lines);
    };
    Frame &before = plan_->before;
    if (plan_->brightTopLine) {
        before = frame;
        plan_->brightTopLine->Apply(frame, random_, made_ == 0);
        keep(Top, ChangedRows(before, frame, true, plan_->grain));
    }
    if (plan_->darkColumns) {
        before = frame;
        plan_->darkColumns->Apply(frame, random_, plan_->noise);
        keep(Left, ChangedColumns(before, frame, true));
        keep(Right, ChangedColumns(before, frame, false));
    }
    if (plan_->headSwitching) {
        before = frame;
        plan_->headSwitching->Apply(frame, random_, plan_->noise, plan_->speckle);
        keep(Bottom, ChangedRows(before, frame, false, plan_->grain));
    }
    if (recipe_.still)
        plan_->first = frame;
    ++made_;
    return true;
}

}  // namespace clips
