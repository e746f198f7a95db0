// The video module's entry record.
#include "caught.h"
#include "video_file.h"
#include "frame_sampler.h"
#include "video_module.h"

namespace filterhost {
namespace {

Status RepairVideoCaught(FrameFilter &filter, const VideoJob &job) {
    return Caught([&] { return RepairVideo(filter, job); });
}

}  // namespace
}  // namespace filterhost

extern "C" __attribute__((visibility("default")))
const filterhost::VideoModule filterhost_video_module = {filterhost::kVideoModuleInterface,
                                                         &filterhost::RepairVideoCaught,
                                                         &filterhost::OpenVideoFrames};
