// The per-instance settings of the border filter. The VirtualDub plug-in keeps one record in
// the instance memory its host allocates from the record's size, so the layout below is part
// of the plug-in's binary interface and must stay exactly as it is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kantora {

// Picture edges in settings order; every per-edge array is indexed by it.
enum Side : int { Top = 0, Bottom = 1, Left = 2, Right = 3 };
constexpr int kSideCount = 4;

struct BorderSettings {
    // The host's preview controller while the plug-in's configuration dialog is open; the
    // engine never reads it.
    void *preview;
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

// The layout the plug-in's hosts see: 88 bytes on 32-bit targets, 96 on 64-bit ones.
static_assert(offsetof(BorderSettings, smearRegion) == sizeof(void *), "record layout");
static_assert(offsetof(BorderSettings, processTopBottomFirst) == sizeof(void *) + 64,
              "record layout");
static_assert(offsetof(BorderSettings, borderColour) == sizeof(void *) + 68, "record layout");
static_assert(offsetof(BorderSettings, colourBlue) == sizeof(void *) + 80, "record layout");
static_assert(sizeof(BorderSettings) == (sizeof(void *) == 4 ? 88 : 96), "record size");

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

}  // namespace kantora
