#include "frame_input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "printable_text.h"

#if KANTORA_HAS_VIDEO
#include "video_module.h"
#endif

namespace filterhost {

namespace {

Expected<std::unique_ptr<FrameSource>> OpenVideo(const std::string &path, BitmapLayout layout) {
#if KANTORA_HAS_VIDEO
    Expected<const VideoModule *> module = LoadVideoModule();
    if (!module)
        return module.failure();
    return (*module)->openFrames(path, layout);
#else
    (void)layout;
    // A file that cannot be opened says so, whatever it would have held.
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return Fail("cannot open " + kantora::PrintableWhole(path) + ": " + std::strerror(errno));
    std::fclose(file);
    return Fail("video files are read only by the 64-bit Linux builds of filterhost: give " +
                kantora::PrintableWhole(path) + " as raw frames with --size, or as a PNG picture");
#endif
}

}  // namespace

Expected<std::unique_ptr<FrameSource>> OpenFrames(const FrameInput &input, BitmapLayout layout) {
    switch (input.kind) {
    case FrameInput::Kind::RawFrames:
        return OpenRawFrames(input.path, input.size, layout);
    case FrameInput::Kind::Picture:
        return OpenPicture(input.path, layout);
    case FrameInput::Kind::Video:
        return OpenVideo(input.path, layout);
    case FrameInput::Kind::PictureOrVideo:
        return StartsLikePng(input.path) ? OpenPicture(input.path, layout)
                                         : OpenVideo(input.path, layout);
    case FrameInput::Kind::None:
        break;
    }
    return Fail("no input named");
}

}  // namespace filterhost
