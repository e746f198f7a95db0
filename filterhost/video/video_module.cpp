// The video module's entry record. Nothing thrown inside may reach the host.
#include <new>

#include "video_file.h"
#include "video_module.h"

namespace {

Status RepairVideoCaught(FrameFilter &filter, const VideoJob &job) {
    try {
        return RepairVideo(filter, job);
    } catch (const std::bad_alloc &) {
        return Fail("out of memory");
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const VideoModule filterhost_video_module = {
    kVideoModuleInterface, &RepairVideoCaught};
