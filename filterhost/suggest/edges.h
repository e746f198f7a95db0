// The four edges of a frame, in the order the suggestion keeps its measurements and values.
// The filter's script has an order of its own (ScriptValues in suggest_settings.h).
#pragma once

#include "border_settings.h"

namespace suggest {

enum Edge : int { Top = 0, Bottom = 1, Left = 2, Right = 3 };
constexpr int kEdgeCount = 4;

// The filter's settings record keeps its edges by its own Side.
constexpr kantora::Side SideOf(Edge edge) {
    return edge == Top      ? kantora::Top
           : edge == Bottom ? kantora::Bottom
           : edge == Left   ? kantora::Left
                            : kantora::Right;
}

}  // namespace suggest
