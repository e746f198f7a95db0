// filterhost/windows: the filter's dialog beside a live preview (--configure).
// --configure: the filter's own dialog, with the host's live preview of one frame beside it.
#pragma once

#include <cstddef>

#include "host_results.h"
#include "filter_instance.h"
#include "frame_source.h"

namespace filterhost {

// False in builds without windows, which answer --configure with kConfigureNeedsWindows.
extern const bool kHostShowsDialogs;
extern const char *const kConfigureNeedsWindows;

// What the preview shows.
struct PreviewSource {
    FrameSource *frames = nullptr;  // its first frame; null: the test card
    ptrdiff_t padding = 0;          // bytes after each row of the plug-in's bitmaps
};

// Shows the dialog until the user closes it; true when the user accepted the settings.
Expected<bool> ConfigureWithPreview(FilterInstance &instance, const FilterDefinition &definition,
                                    const PreviewSource &source);

}  // namespace filterhost
