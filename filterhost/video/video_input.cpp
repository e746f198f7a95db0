#include "video_input.h"

#include <new>

#include "printable_text.h"

namespace filterhost {

Expected<VideoInput> OpenVideoInput(const std::string &path, LibraryLog &log) {
    const std::string name = kantora::PrintableWhole(path);  // as messages show it
    VideoInput video;
    AVFormatContext *context = avformat_alloc_context();
    if (context == nullptr)
        throw std::bad_alloc();
    log.WatchDemuxer(context);
    int result = avformat_open_input(&context, path.c_str(), nullptr, nullptr);
    if (result < 0)
        return Fail("cannot open video " + name + ": " + AvError(result));
    video.demuxer.reset(context);
    result = avformat_find_stream_info(context, nullptr);
    if (result < 0)
        return Fail("cannot read video " + name + ": " + AvError(result));
    for (unsigned k = 0; k < context->nb_streams && video.stream == nullptr; ++k) {
        AVStream *stream = context->streams[k];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            video.stream = stream;
    }
    if (video.stream == nullptr)
        return Fail(name + " has no video stream");

    const AVCodecParameters &parameters = *video.stream->codecpar;
    const AVCodec *codec = avcodec_find_decoder(parameters.codec_id);
    if (codec == nullptr)
        return Fail(name + ": no decoder for its video (" +
                    kantora::Printable(avcodec_get_name(parameters.codec_id)) + ")");
    video.decoder.reset(avcodec_alloc_context3(codec));
    if (!video.decoder)
        throw std::bad_alloc();
    AVCodecContext &decoder = *video.decoder;
    result = avcodec_parameters_to_context(&decoder, &parameters);
    if (result >= 0) {
        decoder.pkt_timebase = video.stream->time_base;
        decoder.thread_count = 0;
        result = avcodec_open2(&decoder, codec, nullptr);
    }
    if (result < 0)
        return Fail("cannot decode the video of " + name + ": " + AvError(result));
    if (decoder.width <= 0 || decoder.height <= 0 || decoder.pix_fmt == AV_PIX_FMT_NONE)
        return Fail(name + ": its video has no frame size or pixel format");
    return video;
}

}  // namespace filterhost
