// The four edges of a frame, in the order the suggestion keeps its measurements and values.
// The filter's script has an order of its own (ScriptValues in suggest_settings.h).
#pragma once

namespace suggest {

enum Edge : int { Top = 0, Bottom = 1, Left = 2, Right = 3 };
constexpr int kEdgeCount = 4;

}  // namespace suggest
