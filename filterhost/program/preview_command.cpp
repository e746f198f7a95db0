#include "preview_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "border_instance.h"
#include "frame_input.h"
#include "output_file.h"
#include "png_files.h"
#include "preview_picture.h"
#include "reach.h"

namespace filterhost {

namespace {

constexpr int64_t kMostFrames = 8;
// Kept frames take at most this much memory, or one frame if that is larger.
constexpr int64_t kMostBytes = int64_t{256} << 20;

// How much the filter changed a frame: the sum of its B, G, R differences.
int64_t Change(const HostBitmap &before, const HostBitmap &after) {
    int64_t sum = 0;
    for (int32_t y = 0; y < before.Height(); ++y) {
        const uint8_t *a = before.PictureRowBytes(y), *b = after.PictureRowBytes(y);
        for (int32_t x = 0; x < before.Width() * 4; ++x)
            if (x % 4 != 3)
                sum += std::abs(int(a[x]) - int(b[x]));
    }
    return sum;
}

TickedLines TicksFor(FilterInstance &instance, const FilterDefinition &definition, int32_t width,
                     int32_t height) {
    const std::optional<kantora::BorderSettings> settings = BorderSettingsOf(instance, definition);
    if (!settings) {
        std::fprintf(stderr, "filterhost: the filter does not say which lines it changes: the "
                             "preview ticks none\n");
        return {};
    }
    const kantora::EdgeDepths changes = kantora::ReachOf(*settings, width, height).changes;
    return {changes.top, changes.bottom, changes.left, changes.right};
}

}  // namespace

void PreviewFrames::Add(const HostBitmap &frame) {
    if (most_ == 0) {
        const int64_t bytes = int64_t{frame.Width()} * frame.Height() * 4;
        most_ = std::max<int64_t>(1, std::min(kMostFrames, kMostBytes / bytes));
    } else if (frame.Width() != kept_.front().Width() || frame.Height() != kept_.front().Height()) {
        return;
    }
    if (offered_++ % stride_ != 0)
        return;
    kept_.emplace_back(frame, BitmapLayout{});
    // Every other one goes, and from now on every other one of those that would be kept: what
    // stays is spread evenly over all the frames so far.
    if (int64_t(kept_.size()) > most_) {
        std::vector<HostBitmap> thinned;
        for (size_t k = 0; k < kept_.size(); k += 2)
            thinned.push_back(std::move(kept_[k]));
        kept_ = std::move(thinned);
        stride_ *= 2;
    }
}

Status WritePreview(FilterInstance &instance, const FilterDefinition &definition,
                    const PreviewFrames &frames, const Options &options) {
    const std::vector<HostBitmap> &kept = frames.Kept();
    if (kept.empty())
        return Fail("no frame to preview");
    Status started = instance.Start();
    if (!started)
        return started;
    const BitmapLayout layout{options.pitchPadding};
    const double middle = (double(kept.size()) - 1) / 2;
    size_t chosen = 0;
    std::unique_ptr<HostBitmap> after;
    int64_t most = -1;
    double nearest = 0;
    for (size_t k = 0; k < kept.size(); ++k) {
        // The filter runs on a copy, as a host hands it a frame of its own.
        auto source = std::make_unique<HostBitmap>(kept[k], layout);
        auto destination = std::make_unique<HostBitmap>(source->Width(), source->Height(), layout);
        Status run = instance.Run(*source, *destination);
        if (!run)
            return run;
        const int64_t change = Change(kept[k], *destination);
        const double distance = std::abs(double(k) - middle);
        if (change > most || (change == most && distance < nearest)) {
            most = change;
            nearest = distance;
            chosen = k;
            after = std::move(destination);
        }
    }
    Status ended = instance.End();
    if (!ended)
        return ended;
    const HostBitmap &before = kept[chosen];
    const TickedLines ticks = TicksFor(instance, definition, before.Width(), before.Height());
    return WritePng(options.preview, SideBySide(before, *after, ticks));
}

Status PreviewSettings(FilterInstance &instance, const FilterDefinition &definition,
                       const Options &options) {
    Status distinct = CheckOutputIsNotInput(options.input.path, options.preview);
    if (!distinct)
        return distinct;
    Expected<std::unique_ptr<FrameSource>> opened = OpenFrames(options.input, {});
    if (!opened)
        return opened.failure();
    PreviewFrames frames;
    const Status read = (*opened)->Spread(
        kMostFrames, [](int64_t) {},
        [&](HostBitmap &frame) {
            frames.Add(frame);
            return true;
        });
    if (!read)
        return read;
    if (frames.Kept().empty())
        return Fail((*opened)->Name() + " holds no frame to show");
    return WritePreview(instance, definition, frames, options);
}

}  // namespace filterhost
