// --preview: one frame of the input before and after the filter's settings, side by side in a
// PNG picture, with the lines the settings change ticked in the margin (preview_picture.h).
#pragma once

#include <cstdint>
#include <vector>

#include "command_line.h"
#include "filter_instance.h"
#include "host_bitmap.h"

namespace filterhost {

// A few of the frames handed over while an input is read, spread evenly over them whatever
// their number, for the preview to choose from: at most eight, and fewer of large frames.
class PreviewFrames {
public:
    // Frames of another size than the first are not kept.
    void Add(const HostBitmap &frame);
    const std::vector<HostBitmap> &Kept() const { return kept_; }

private:
    std::vector<HostBitmap> kept_;
    int64_t most_ = 0;     // set from the first frame's size
    int64_t offered_ = 0;  // frames of the first one's size handed over
    int64_t stride_ = 1;   // every stride-th of them is kept
};

// Writes options.preview from the kept frame that the instance's settings change most, where
// what they do shows best (on a tie, the one nearest the middle).
Status WritePreview(FilterInstance &instance, const FilterDefinition &definition,
                    const PreviewFrames &frames, const Options &options);

// --preview without --suggest: for the settings given, from frames spread over the input.
Status PreviewSettings(FilterInstance &instance, const FilterDefinition &definition,
                       const Options &options);

}  // namespace filterhost
