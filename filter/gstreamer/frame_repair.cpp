#include "frame_repair.h"

#include <new>

#include "alpha_repair.h"
#include "border_repair.h"
#include "reach.h"

namespace kantora::gstreamer {

namespace {

// The filter takes its frames bottom-up: the picture's last row and a negative pitch.
uint32_t *BottomRow(uint8_t *top, ptrdiff_t pitch, int32_t height) {
    return reinterpret_cast<uint32_t *>(top + (height - 1) * pitch);
}

}  // namespace

bool FrameRepair::Plan(const GstVideoInfo &info, bool interlaced,
                       const BorderSettings &settings) try {
    Clear();
    const int32_t width = GST_VIDEO_INFO_WIDTH(&info), height = GST_VIDEO_INFO_HEIGHT(&info);
    settings_ = settings;
    format_ = RepairOf(GST_VIDEO_INFO_FORMAT(&info));
    const BorderReach reach = ReachOf(settings, width, height);
    if (reach.ChangesNothing() || format_.path != RepairPath::Strips) {
        changesNothing_ = reach.ChangesNothing();
        return true;
    }
    const StripPlan strips = PlanStrips(LayoutOf(info, interlaced), reach);
    if (!canvas_.Resize(width, height) ||
        !reader_.Prepare(info, StripConverter::Direction::ToCanvas, strips.reads, format_.alpha) ||
        !writer_.Prepare(info, StripConverter::Direction::FromCanvas, strips.changes,
                         format_.alpha)) {
        Clear();
        return false;
    }
    changesNothing_ = false;
    return true;
} catch (const std::bad_alloc &) {
    Clear();
    return false;
}

void FrameRepair::Clear() {
    reader_.Clear();
    writer_.Clear();
    canvas_.Resize(0, 0);
    changesNothing_ = true;
}

bool FrameRepair::Repair(GstVideoFrame &frame) try {
    if (changesNothing_)
        return true;
    const int32_t width = GST_VIDEO_FRAME_WIDTH(&frame), height = GST_VIDEO_FRAME_HEIGHT(&frame);
    if (format_.path != RepairPath::Strips) {
        const ptrdiff_t pitch = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        uint32_t *bottom =
            BottomRow(static_cast<uint8_t *>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), pitch, height);
        if (format_.path == RepairPath::Direct)
            ProcessFrame(bottom, -pitch, bottom, -pitch, width, height, settings_);
        else
            RepairInPlaceKeepingAlpha(bottom, -pitch, width, height, settings_, alpha_);
        return true;
    }
    reader_.ToCanvas(frame, canvas_);
    if (format_.alpha)
        canvas_.RepairKeepingAlpha(settings_, alpha_);
    else
        canvas_.Repair(settings_);
    writer_.FromCanvas(canvas_, frame);
    return true;
} catch (const std::bad_alloc &) {
    return false;
}

}  // namespace kantora::gstreamer
