// A video file opened for decoding: the demuxer, its first video stream (cover pictures aside)
// and that stream's decoder, on as many threads as the processor has. Both the repair and the
// frames read for measuring open their files through this.
#pragma once

#include <string>

#include "av_handles.h"
#include "host_results.h"
#include "library_log.h"

namespace filterhost {

struct VideoInput {
    InputFile demuxer;
    AVStream *stream = nullptr;
    Codec decoder;
};

// `log` watches the demuxer from before it opens the file.
Expected<VideoInput> OpenVideoInput(const std::string &path, LibraryLog &log);

}  // namespace filterhost
