#include "video_encoder.h"

#include <cstring>
#include <new>
#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "pixel_formats.h"
#include "printable_text.h"

namespace filterhost {

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

// Whether the encoder opens at this size and format: some take sizes that their format's
// shared chroma cannot divide evenly.
bool Opens(const AVCodec *encoder, AVPixelFormat format, int width, int height) {
    AVCodecContext *trial = avcodec_alloc_context3(encoder);
    if (trial == nullptr)
        throw std::bad_alloc();
    trial->width = width;
    trial->height = height;
    trial->pix_fmt = format;
    trial->time_base = {1, 25};
    const bool opened = avcodec_open2(trial, encoder, nullptr) >= 0;
    avcodec_free_context(&trial);
    return opened;
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
            return Fail("the " + std::string(format->name) + " container of " +
                        kantora::PrintableWhole(output) +
                        " has no default video encoder here: name one with --codec");
        return standard;
    }
    const AVCodec *encoder = avcodec_find_encoder_by_name(name.c_str());
    if (encoder == nullptr)
        if (const AVCodecDescriptor *descriptor = avcodec_descriptor_get_by_name(name.c_str()))
            encoder = avcodec_find_encoder(descriptor->id);
    if (encoder == nullptr)
        return Fail("unknown video encoder '" + kantora::Printable(name) +
                        "' (ffmpeg -encoders lists them)",
                    FailureKind::Usage);
    if (encoder->type != AVMEDIA_TYPE_VIDEO)
        return Fail("'" + kantora::Printable(name) + "' is not a video encoder",
                    FailureKind::Usage);
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
        return Fail("the " + std::string(format->name) + " container of " +
                    kantora::PrintableWhole(output) + " cannot hold " + choice.encoder->name +
                    " video: choose another --codec or " + "container");
    choice.options = QualityOptions(choice.encoder);

    const int width = decoder.width, height = decoder.height;
    const AVPixelFormat source = decoder.pix_fmt;
    const std::string sourceName = av_get_pix_fmt_name(source);
    if (!sws_isSupportedInput(source))
        return Fail("cannot repair video whose pixel format is " + sourceName +
                    ": it cannot be converted to 32-bit RGB");
    // The input's own format keeps every sample outside the repaired strips as it was; other
    // formats need the whole picture converted.
    const bool sourceTakesStrips = static_cast<bool>(CheckStripFormat(source));
    const AVPixelFormat *offered = choice.encoder->pix_fmts;
    if (offered == nullptr) {
        if (!sourceTakesStrips)
            return Fail(std::string(choice.encoder->name) + " cannot encode the video's " +
                        sourceName + " pixels: " + CheckStripFormat(source).failure().message);
        choice.pixelFormat = source;
        return choice;
    }
    std::vector<AVPixelFormat> usable, fitting;
    for (const AVPixelFormat *f = offered; *f != AV_PIX_FMT_NONE; ++f) {
        if (!CheckStripFormat(*f))
            continue;
        usable.push_back(*f);
        // Lossless encoders may take an odd size in shared chroma (ffv1 does); they are tried.
        // Lossy ones are not: libx264 leaks what it set up when it refuses one.
        if (Fits(*f, width, height) || (*f == source && IsLossless(choice.encoder) &&
                                        Opens(choice.encoder, *f, width, height)))
            fitting.push_back(*f);
    }
    usable.push_back(AV_PIX_FMT_NONE);
    fitting.push_back(AV_PIX_FMT_NONE);
    const bool alpha = HasAlpha(source);
    if (Contains(fitting.data(), source)) {
        choice.pixelFormat = source;
        return choice;
    }
    const AVPixelFormat preferred =
        Contains(usable.data(), source)
            ? source
            : avcodec_find_best_pix_fmt_of_list(usable.data(), source, alpha, nullptr);
    if (fitting.size() == 1) {
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        return Fail(std::string(choice.encoder->name) + " cannot encode " + size +
                    ": its pixel formats all share chroma between neighbouring pixels, which "
                    "needs an even width and height; use --codec ffv1");
    }
    choice.pixelFormat =
        Contains(fitting.data(), preferred)
            ? preferred
            : avcodec_find_best_pix_fmt_of_list(fitting.data(), preferred, alpha, nullptr);
    const std::string chosen = av_get_pix_fmt_name(choice.pixelFormat);
    if (!Fits(preferred, width, height)) {
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        choice.notes.push_back(size + " has an odd width or height, which " +
                               av_get_pix_fmt_name(preferred) + " cannot hold: encoding " +
                               choice.encoder->name + " as " + chosen +
                               " (full-resolution colour, which fewer players take)");
    } else {
        choice.notes.push_back(
            std::string(choice.encoder->name) + " cannot keep the video's " + sourceName +
            " pixels" + (sourceTakesStrips ? "" : " as they are") + ": every picture is " +
            "converted to " + chosen +
            (alpha && !HasAlpha(choice.pixelFormat) ? ", without its alpha" : ""));
    }
    return choice;
}

}  // namespace filterhost
