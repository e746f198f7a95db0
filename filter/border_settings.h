// The per-instance settings of the border filter, kept in the host's instance memory.
#pragma once

#include <cstdint>

class IFilterPreview;

// Picture edges in settings order; every per-edge array is indexed by it.
enum Side : int { Top = 0, Bottom = 1, Left = 2, Right = 3 };
constexpr int kSideCount = 4;

struct BorderSettings {
    IFilterPreview *preview;  // set while the configuration dialog is open
    int32_t smearRegion[kSideCount];
    int32_t blackRegion[kSideCount];
    int32_t fadeRegion[kSideCount];
    int32_t stretchFactor[kSideCount];
    bool processTopBottomFirst;
    uint32_t borderColour;  // 0x00RRGGBB, painted into black bands
    int32_t colourRed;
    int32_t colourGreen;
    int32_t colourBlue;
};

// Defaults of a new instance: no bands, top and bottom before the sides, black borders.
// The preview controller is left as it was.
inline void ResetBorderSettings(BorderSettings &s) {
    for (int side = 0; side < kSideCount; ++side) {
        s.smearRegion[side] = 0;
        s.blackRegion[side] = 0;
        s.fadeRegion[side] = 0;
        s.stretchFactor[side] = 0;
    }
    s.processTopBottomFirst = true;
    s.borderColour = 0;
    s.colourRed = 0;
    s.colourGreen = 0;
    s.colourBlue = 0;
}
