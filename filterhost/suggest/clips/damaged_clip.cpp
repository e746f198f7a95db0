#include "damaged_clip.h"

#include <algorithm>
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
        break;
    }
    return "strong edges";
}

struct DamagedClip::Plan {
    std::unique_ptr<PictureMaker> picture;
    float grain = 0;
    PixelNoise noise;
    std::optional<HeadSwitching> headSwitching;
    std::optional<DarkColumns> darkColumns;
    std::optional<BrightTopLine> brightTopLine;

    explicit Plan(uint32_t seed) : noise(seed * 2654435761u + 12345u) {}
};

DamagedClip::DamagedClip(const ClipRecipe &recipe)
    : recipe_(recipe), random_(recipe.seed), plan_(std::make_unique<Plan>(recipe.seed)) {
    plan_->picture = MakePicture(recipe, random_);
    static const float kGrain[] = {0.0f, 1.5f, 3.0f, 5.0f, 8.0f};
    plan_->grain = kGrain[Between(random_, 0, 4)];
    if (recipe.damage & kHeadSwitching)
        plan_->headSwitching.emplace(recipe.width, recipe.height, random_);
    if (recipe.damage & kDarkColumns)
        plan_->darkColumns.emplace(recipe.width, recipe.height, random_);
    if (recipe.damage & kBrightTopLine)
        plan_->brightTopLine.emplace(recipe.width, recipe.height, random_);
}

DamagedClip::~DamagedClip() = default;

bool DamagedClip::Next(Frame &frame) {
    if (made_ >= recipe_.frames)
        return false;
    frame.width = recipe_.width;
    frame.height = recipe_.height;
    frame.bgrx.assign(size_t(frame.width) * size_t(frame.height) * 4, 0);
    plan_->picture->Render(made_, frame);
    AddGrain(frame, plan_->grain, plan_->noise);
    auto keep = [&](Side side, int32_t lines) {
        damaged_[size_t(side)] = std::max(damaged_[size_t(side)], lines);
    };
    // The top line and the dark columns happen before the head switching in the tape's
    // playback, so the bottom rows' tearing carries them along.
    if (plan_->brightTopLine)
        keep(Top, plan_->brightTopLine->Apply(frame, random_, made_ == 0));
    if (plan_->darkColumns) {
        const auto widths = plan_->darkColumns->Apply(frame, random_, plan_->noise);
        keep(Left, widths[0]);
        keep(Right, widths[1]);
    }
    if (plan_->headSwitching)
        keep(Bottom, plan_->headSwitching->Apply(frame, random_, plan_->noise));
    ++made_;
    return true;
}

}  // namespace clips
