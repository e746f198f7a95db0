// Which encoder, pixel format and quality settings a repaired video gets.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host_results.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace filterhost {

struct EncoderChoice {
    const AVCodec *encoder = nullptr;
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    std::vector<std::pair<std::string, std::string>> options;  // the encoder's private options
    std::vector<std::string> notes;  // what the user should know about the choice
};

// `name` empty: H.264 for MP4, QuickTime and Matroska where libx264 is there, else the
// container's own default. The pixel format is the input's where the encoder takes it (and the
// repair can write its strips in it), so that the rest of each picture stays as decoded;
// otherwise the encoder's nearest one, with a note that every picture is converted.
Expected<EncoderChoice> ChooseEncoder(const AVOutputFormat *format, const std::string &name,
                                      const AVCodecContext &decoder, const std::string &output);

}  // namespace filterhost
