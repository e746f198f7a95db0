// The video module's entry record.
#include "caught.h"
#include "video_file.h"
#include "frame_sampler.h"
#include "video_module.h"

namespace {

Status RepairVideoCaught(FrameFilter &filter, const VideoJob &job) {
    return Caught([&] { return RepairVideo(filter, job); });
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const VideoModule filterhost_video_module = {
    kVideoModuleInterface, &RepairVideoCaught, &OpenVideoFrames};
