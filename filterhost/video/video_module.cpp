// The video module's entry record. Nothing thrown inside may reach the host.
#include <new>

#include "frame_sampler.h"
#include "video_file.h"
#include "video_module.h"

namespace {

template <class Work>
Status Caught(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return Fail("out of memory");
    }
}

Status RepairVideoCaught(FrameFilter &filter, const VideoJob &job) {
    return Caught([&] { return RepairVideo(filter, job); });
}

Status SampleFramesCaught(const std::string &path, int64_t wanted,
                          const std::function<void(int64_t frames)> &expect,
                          const FrameVisitor &visit) {
    return Caught([&] { return SampleFrames(path, wanted, expect, visit); });
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const VideoModule filterhost_video_module = {
    kVideoModuleInterface, &RepairVideoCaught, &SampleFramesCaught};
