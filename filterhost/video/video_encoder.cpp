#include "video_encoder.h"

#include <cstring>
#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

bool HasAlpha(AVPixelFormat format) {
    const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(format);
    return descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA);
}

bool IsLossless(const AVCodec *encoder) {
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(encoder->id);
    return descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_LOSSLESS) &&
           !(descriptor->props & AV_CODEC_PROP_LOSSY);
}

// Whether the format's chroma planes can hold a picture of this size.
bool Fits(AVPixelFormat format, int width, int height) {
    const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(format);
    return descriptor != nullptr && width % (1 << descriptor->log2_chroma_w) == 0 &&
           height % (1 << descriptor->log2_chroma_h) == 0;
}

bool Contains(const AVPixelFormat *list, AVPixelFormat format) {
    for (; list != nullptr && *list != AV_PIX_FMT_NONE; ++list)
        if (*list == format)
            return true;
    return false;
}

Expected<const AVCodec *> FindEncoder(const AVOutputFormat *format, const std::string &name,
                                      const std::string &output) {
    if (name.empty()) {
        const bool h264Container = std::strstr(format->name, "mp4") != nullptr ||
                                   std::strstr(format->name, "mov") != nullptr ||
                                   std::strstr(format->name, "matroska") != nullptr;
        const AVCodec *x264 = avcodec_find_encoder_by_name("libx264");
        if (h264Container && x264 != nullptr)
            return x264;
        const AVCodec *standard = avcodec_find_encoder(format->video_codec);
        if (standard == nullptr)
            return Fail("the " + std::string(format->name) + " container of " + output +
                        " has no default video encoder here: name one with --codec");
        return standard;
    }
    const AVCodec *encoder = avcodec_find_encoder_by_name(name.c_str());
    if (encoder == nullptr)
        if (const AVCodecDescriptor *descriptor = avcodec_descriptor_get_by_name(name.c_str()))
            encoder = avcodec_find_encoder(descriptor->id);
    if (encoder == nullptr)
        return Fail("unknown video encoder '" + name + "' (ffmpeg -encoders lists them)",
                    kExitUsage);
    if (encoder->type != AVMEDIA_TYPE_VIDEO)
        return Fail("'" + name + "' is not a video encoder", kExitUsage);
    return encoder;
}

// High quality where the encoder has a quality scale, rather than its default bit rate.
std::vector<std::pair<std::string, std::string>> QualityOptions(const AVCodec *encoder) {
    const std::string name = encoder->name;
    if (name == "libx264" || name == "libx264rgb" || name == "libx265")
        return {{"crf", "18"}};
    if (name == "libvpx-vp9" || name == "libvpx")
        return {{"crf", "20"}, {"b", "0"}};
    if (IsLossless(encoder))
        return {};
    // MPEG-4 part 2, MPEG-2, MJPEG and the like: a fixed quantiser of 2, near their best.
    return {{"flags", "+qscale"}, {"global_quality", std::to_string(2 * FF_QP2LAMBDA)}};
}

}  // namespace

Expected<EncoderChoice> ChooseEncoder(const AVOutputFormat *format, const std::string &name,
                                      const AVCodecContext &decoder, const std::string &output) {
    Expected<const AVCodec *> found = FindEncoder(format, name, output);
    if (!found)
        return found.failure();
    EncoderChoice choice;
    choice.encoder = *found;
    if (avformat_query_codec(format, choice.encoder->id, FF_COMPLIANCE_NORMAL) == 0)
        return Fail("the " + std::string(format->name) + " container of " + output +
                    " cannot hold " + choice.encoder->name + " video: choose another --codec or " +
                    "container");
    choice.options = QualityOptions(choice.encoder);

    const int width = decoder.width, height = decoder.height;
    const bool alpha = HasAlpha(decoder.pix_fmt);
    // A lossless encoder keeps the filter's 32-bit pixels exactly: RGB, with alpha if the input
    // has it. Others keep the input's format where they can.
    const AVPixelFormat wanted = IsLossless(choice.encoder)
                                     ? (alpha ? AV_PIX_FMT_RGB32 : AV_PIX_FMT_0RGB32)
                                     : decoder.pix_fmt;
    const AVPixelFormat *offered = choice.encoder->pix_fmts;
    if (offered == nullptr) {
        choice.pixelFormat = wanted;
        return choice;
    }
    std::vector<AVPixelFormat> fitting;
    for (const AVPixelFormat *f = offered; *f != AV_PIX_FMT_NONE; ++f)
        if (Fits(*f, width, height))
            fitting.push_back(*f);
    fitting.push_back(AV_PIX_FMT_NONE);
    const AVPixelFormat preferred =
        Contains(offered, wanted) ? wanted
                                  : avcodec_find_best_pix_fmt_of_list(offered, wanted, alpha, nullptr);
    if (Fits(preferred, width, height)) {
        choice.pixelFormat = preferred;
        return choice;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (fitting.size() == 1)
        return Fail(std::string(choice.encoder->name) + " cannot encode " + size +
                    ": its pixel formats all share chroma between neighbouring pixels, which "
                    "needs an even width and height; use --codec ffv1");
    choice.pixelFormat = Contains(fitting.data(), wanted)
                             ? wanted
                             : avcodec_find_best_pix_fmt_of_list(fitting.data(), wanted, alpha,
                                                                 nullptr);
    choice.notes.push_back(size + " has an odd width or height, which " +
                           av_get_pix_fmt_name(preferred) + " cannot hold: encoding " +
                           choice.encoder->name + " as " + av_get_pix_fmt_name(choice.pixelFormat) +
                           " (full-resolution colour, which fewer players take)");
    return choice;
}
