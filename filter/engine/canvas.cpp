#include "canvas.h"

#include <new>

#include "alpha_repair.h"
#include "border_repair.h"

namespace kantora {

bool BgrxCanvas::Resize(int32_t width, int32_t height) {
    if (width == width_ && height == height_ && pixels_ != nullptr)
        return true;
    pixels_.reset();
    width_ = height_ = 0;
    if (width <= 0 || height <= 0)
        return true;
    // Left uninitialised: converting a whole frame of zeros first would cost what the strips save.
    pixels_.reset(new (std::nothrow) uint32_t[size_t(width) * size_t(height)]);
    if (pixels_ == nullptr)
        return false;
    width_ = width;
    height_ = height;
    return true;
}

void BgrxCanvas::Repair(const BorderSettings &settings) {
    if (pixels_ == nullptr)
        return;
    uint32_t *bottom = Pixels(height_ - 1);
    ProcessFrame(bottom, -Pitch(), bottom, -Pitch(), width_, height_, settings);
}

void BgrxCanvas::RepairKeepingAlpha(const BorderSettings &settings, std::vector<uint8_t> &saved) {
    if (pixels_ == nullptr)
        return;
    RepairInPlaceKeepingAlpha(Pixels(height_ - 1), -Pitch(), width_, height_, settings, saved);
}

}  // namespace kantora
