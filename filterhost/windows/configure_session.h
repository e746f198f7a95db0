// filterhost/windows: the filter's dialog beside a live preview (--configure).
// --configure: the filter's own dialog, with the host's live preview of one frame beside it.
#pragma once

#include "command_line.h"
#include "expected.h"
#include "filter_instance.h"
#include "png_files.h"

// False in builds without windows, which answer --configure with kConfigureNeedsWindows.
extern const bool kHostShowsDialogs;
extern const char *const kConfigureNeedsWindows;

// The frame to preview: the PNG picture, the first frame of the raw input, or the test card.
Expected<HostBitmap> LoadPreviewFrame(const Options &options);

// Shows the dialog until the user closes it; true when the user accepted the settings.
Expected<bool> ConfigureWithPreview(FilterInstance &instance, const FilterDefinition &definition,
                                    const Options &options);
