// Fine texture that changes in every frame: small high-contrast cells (a cellular pattern,
// foliage or water seen from afar) scrolling past, some of them changing on their own, grey or
// in many colours. Every row differs from the next and from itself in the frame before, as
// torn rows do.
#pragma once

#include <memory>
#include <random>

#include "picture.h"

namespace clips {

std::unique_ptr<PictureMaker> MakeFineTexture(const ClipRecipe &recipe, std::mt19937 &random,
                                              bool colourful);

}  // namespace clips
