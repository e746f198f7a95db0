#include "video_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "av_handles.h"
#include "frame_pool.h"
#include "output_file.h"
#include "pixel_formats.h"
#include "printable_text.h"
#include "progress_line.h"
#include "serial_worker.h"
#include "strip_converter.h"
#include "strips.h"
#include "video_encoder.h"
#include "video_input.h"

namespace filterhost {

namespace {

struct OutputCloser {
    void operator()(AVFormatContext *context) const {
        if (context->pb != nullptr && !(context->oformat->flags & AVFMT_NOFILE))
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
using Muxer = std::unique_ptr<AVFormatContext, OutputCloser>;

// Where the input broke, when it did; the frames before stay in the output.
struct Break {
    bool happened = false;
    bool inDecoder = false;  // the decoder refused a packet or frame, rather than the file ending
    std::string what;
};

class VideoRepair {
public:
    VideoRepair(FrameFilter &filter, const VideoJob &job)
        : filter_(filter),
          job_(job),
          inputName_(kantora::PrintableWhole(job.input)),
          outputName_(kantora::PrintableWhole(job.output)) {}

    Status Run() {
        Status distinct = CheckOutputIsNotInput(job_.input, job_.output);
        if (!distinct)
            return distinct;
        Expected<VideoInput> opened = OpenVideoInput(job_.input, errors_);
        if (!opened)
            return opened.failure();
        input_ = std::move(opened->demuxer);
        decoder_ = std::move(opened->decoder);
        videoIndex_ = opened->stream->index;
        const AVOutputFormat *format = av_guess_format(nullptr, job_.output.c_str(), nullptr);
        if (format == nullptr)
            return Fail("cannot tell the container of " + outputName_ +
                        " from its name: use an extension such as .mkv or .mp4");
        Expected<EncoderChoice> choice = ChooseEncoder(format, job_.codec, *decoder_, job_.output);
        if (!choice)
            return choice.failure();
        choice_ = *choice;

        Expected<OutputFile> file = OutputFile::Open(job_.output, outputName_);
        if (!file)
            return file.failure();
        Status status = CreateOutput(format, file->WritePath());
        if (status) {
            // Said once the output is sure to be written, so that a refusal stays one line.
            for (const std::string &note : choice_.notes)
                std::fprintf(stderr, "filterhost: %s\n", note.c_str());
            status = Transcode();
        }
        if (!status)
            return status;
        status = file->Commit();
        if (!status)
            return status;
        const std::string kept =
            "; the " + std::to_string(framesDone_) + " frames before it are in " + outputName_;
        if (refused_)
            return Fail(refused_->message + kept);
        if (break_.happened)
            return Fail(inputName_ + " breaks at frame " + std::to_string(framesDone_ + 1) + ": " +
                        break_.what + kept);
        return Ok();
    }

private:
    Status CreateOutput(const AVOutputFormat *format, const std::string &path) {
        AVFormatContext *context = nullptr;
        int result = avformat_alloc_output_context2(&context, format, nullptr, path.c_str());
        if (result < 0)
            return Fail("cannot write " + outputName_ + ": " + AvError(result));
        output_.reset(context);
        errors_.WatchMuxer(context);
        av_dict_copy(&context->metadata, input_->metadata, 0);

        streamMap_.assign(input_->nb_streams, -1);
        for (unsigned k = 0; k < input_->nb_streams; ++k) {
            const AVStream *in = input_->streams[k];
            AVStream *out = avformat_new_stream(context, nullptr);
            if (out == nullptr)
                throw std::bad_alloc();
            streamMap_[k] = out->index;
            av_dict_copy(&out->metadata, in->metadata, 0);
            out->disposition = in->disposition;
            if (static_cast<int>(k) == videoIndex_) {
                Status opened = OpenEncoder(format, out);
                if (!opened)
                    return opened;
                // The input's encoder tag would name the wrong encoder; say which one wrote it.
                const std::string encoder =
                    std::string(LIBAVCODEC_IDENT) + " " + choice_.encoder->name;
                av_dict_set(&out->metadata, "encoder", encoder.c_str(), 0);
                continue;
            }
            const AVCodecID id = in->codecpar->codec_id;
            const char *type = av_get_media_type_string(in->codecpar->codec_type);  // or null
            if (avformat_query_codec(format, id, FF_COMPLIANCE_NORMAL) == 0)
                return Fail("the " + std::string(format->name) + " container of " + outputName_ +
                            " cannot hold stream " + std::to_string(k) + " of " + inputName_ +
                            " (" + kantora::Printable(avcodec_get_name(id)) + " " +
                            (type != nullptr ? type : "unknown") +
                            "), which is copied unchanged: choose another container such as .mkv");
            result = avcodec_parameters_copy(out->codecpar, in->codecpar);
            if (result < 0)
                return Fail("cannot copy stream " + std::to_string(k) + ": " + AvError(result));
            out->codecpar->codec_tag = 0;
            out->time_base = in->time_base;
            out->sample_aspect_ratio = in->sample_aspect_ratio;
        }
        for (unsigned k = 0; k < input_->nb_chapters; ++k) {
            const AVChapter *in = input_->chapters[k];
            AVChapter *copy = static_cast<AVChapter *>(av_mallocz(sizeof(AVChapter)));
            if (copy == nullptr ||
                av_dynarray_add_nofree(&context->chapters,
                                       reinterpret_cast<int *>(&context->nb_chapters), copy) < 0)
                throw std::bad_alloc();
            *copy = *in;
            copy->metadata = nullptr;
            av_dict_copy(&copy->metadata, in->metadata, 0);
        }

        if (!(format->flags & AVFMT_NOFILE)) {
            result = avio_open(&context->pb, path.c_str(), AVIO_FLAG_WRITE);
            if (result < 0)
                return Fail("cannot write " + outputName_ + ": " + AvError(result));
        }
        result = avformat_write_header(context, nullptr);
        if (result == AVERROR_EXPERIMENTAL)
            return Fail("cannot write " + outputName_ + ": the " + format->name + " container " +
                        "takes one of the copied streams only as an experimental feature: choose " +
                        "another container such as .mkv");
        if (result < 0)
            return Fail("cannot write " + outputName_ + ": " + errors_.Muxer(AvError(result)));
        return Ok();
    }

    Status OpenEncoder(const AVOutputFormat *format, AVStream *out) {
        const AVStream *in = input_->streams[videoIndex_];
        const AVRational rate =
            av_guess_frame_rate(input_.get(), const_cast<AVStream *>(in), nullptr);
        // Containers that take any time stamps get the input's own clock, so that every time
        // stamp stays as it was; the others, and encoders that need it, a frame-rate clock.
        std::vector<AVRational> clocks = {in->time_base};
        if (rate.num > 0 && rate.den > 0)
            clocks.insert(format->flags & AVFMT_VARIABLE_FPS ? clocks.end() : clocks.begin(),
                          av_inv_q(rate));
        int result = 0;
        for (const AVRational clock : clocks) {
            encoder_.reset(avcodec_alloc_context3(choice_.encoder));
            if (!encoder_)
                throw std::bad_alloc();
            AVCodecContext &e = *encoder_;
            e.width = decoder_->width;
            e.height = decoder_->height;
            e.pix_fmt = choice_.pixelFormat;
            e.time_base = clock;
            if (rate.num > 0 && rate.den > 0)
                e.framerate = rate;
            e.sample_aspect_ratio =
                av_guess_sample_aspect_ratio(input_.get(), const_cast<AVStream *>(in), nullptr);
            e.field_order = in->codecpar->field_order;
            if (e.field_order != AV_FIELD_PROGRESSIVE && e.field_order != AV_FIELD_UNKNOWN)
                e.flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
            DescribeColours(e);
            if (format->flags & AVFMT_GLOBALHEADER)
                e.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
            e.thread_count = 0;
            AVDictionary *options = nullptr;
            for (const auto &[key, value] : choice_.options)
                av_dict_set(&options, key.c_str(), value.c_str(), 0);
            result = avcodec_open2(&e, choice_.encoder, &options);
            av_dict_free(&options);
            if (result >= 0)
                break;
        }
        if (result < 0)
            return Fail("cannot encode with " + std::string(choice_.encoder->name) + " (" +
                        av_get_pix_fmt_name(choice_.pixelFormat) + ", " +
                        std::to_string(decoder_->width) + "x" + std::to_string(decoder_->height) +
                        "): " + AvError(result));
        result = avcodec_parameters_from_context(out->codecpar, encoder_.get());
        if (result < 0)
            return Fail("cannot encode: " + AvError(result));
        out->time_base = encoder_->time_base;
        out->avg_frame_rate = encoder_->framerate;
        out->r_frame_rate = encoder_->framerate;
        out->sample_aspect_ratio = encoder_->sample_aspect_ratio;
        return Ok();
    }

    // Output of the input's kind (YUV or RGB) keeps the input's colour description; YUV made
    // from RGB says what the conversion used, the ITU-R BT.601 matrix at limited range.
    void DescribeColours(AVCodecContext &e) const {
        const bool rgbIn = IsRgb(decoder_->pix_fmt), rgbOut = IsRgb(e.pix_fmt);
        if (rgbIn == rgbOut) {
            e.color_range = decoder_->color_range;
            e.color_primaries = decoder_->color_primaries;
            e.color_trc = decoder_->color_trc;
            e.colorspace = decoder_->colorspace;
            e.chroma_sample_location = decoder_->chroma_sample_location;
        } else if (!rgbOut) {
            e.color_range = AVCOL_RANGE_MPEG;
            e.colorspace = AVCOL_SPC_SMPTE170M;
        }
    }

    Status Transcode() {
        const AVStream *in = input_->streams[videoIndex_];
        int64_t total = in->nb_frames;
        bool estimated = false;
        if (total <= 0 && input_->duration > 0 && encoder_->framerate.num > 0) {
            total = av_rescale_q(input_->duration, AV_TIME_BASE_Q, av_inv_q(encoder_->framerate));
            estimated = true;
        }
        ProgressLine progress(job_.progress, total, estimated);

        PrepareRepair();
        encoding_ = std::make_unique<SerialWorker>(kFramesAhead);
        Packet packet(av_packet_alloc());
        Frame decoded(av_frame_alloc());
        encoded_.reset(av_packet_alloc());
        if (!packet || !decoded || !encoded_)
            throw std::bad_alloc();

        for (;;) {
            const int result = av_read_frame(input_.get(), packet.get());
            if (result == AVERROR_EOF && errors_.Demuxer().empty())
                break;
            if (result < 0) {
                Broke(false, errors_.Demuxer().empty() ? AvError(result) : errors_.Demuxer());
                break;
            }
            Status status = packet->stream_index == videoIndex_
                                ? Decode(packet.get(), decoded.get(), progress)
                                : Copy(packet.get());
            av_packet_unref(packet.get());
            if (!status)
                return status;
            if (break_.happened || refused_)
                break;
        }
        // Frames the decoder still holds were read whole: they go out too.
        if (!break_.inDecoder && !refused_) {
            Status status = Decode(nullptr, decoded.get(), progress);
            if (!status)
                return status;
        }
        Status status = Encode(nullptr);
        if (status)
            status = encoding_->Finish();
        if (!status)
            return status;
        progress.Finish(framesDone_);
        if (framesDone_ == 0 && !break_.happened && !refused_)
            return Fail(inputName_ + " has no video frames that can be decoded");
        if (skippedAtStart_ > 0)
            std::fprintf(stderr,
                         "filterhost: %s: skipped %lld video packets before the first "
                         "frame that could be decoded\n",
                         inputName_.c_str(), static_cast<long long>(skippedAtStart_));
        int result = av_write_trailer(output_.get());
        if (result >= 0 && !(output_->oformat->flags & AVFMT_NOFILE))
            result = avio_closep(&output_->pb);
        if (result < 0)
            return Fail("cannot write " + outputName_ + ": " + AvError(result));
        return Ok();
    }

    // The first break counts; what the decoder still gives after it is only kept.
    void Broke(bool inDecoder, std::string what) {
        if (!break_.happened)
            break_ = {true, inDecoder, std::move(what)};
    }

    // A stream captured or cut mid-way starts with packets that refer to pictures before it;
    // the decoder refuses them, and nothing is lost by going on. Later refusals are breaks.
    void Refused(int result) {
        if (framesDone_ == 0)
            ++skippedAtStart_;
        else
            Broke(true, AvError(result));
    }

    // Sends one packet (null: the end) and repairs every frame the decoder gives back.
    Status Decode(const AVPacket *packet, AVFrame *frame, ProgressLine &progress) {
        int result = avcodec_send_packet(decoder_.get(), packet);
        if (result < 0 && result != AVERROR_EOF) {
            Refused(result);
            return Ok();
        }
        for (;;) {
            result = avcodec_receive_frame(decoder_.get(), frame);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return Ok();
            if (result < 0) {
                Refused(result);
                if (break_.happened)
                    return Ok();
                continue;
            }
            if (frame->format != decoder_->pix_fmt) {
                Broke(true, std::string("the pixel format changes from ") +
                                av_get_pix_fmt_name(decoder_->pix_fmt) + " to " +
                                av_get_pix_fmt_name(static_cast<AVPixelFormat>(frame->format)));
                av_frame_unref(frame);
                return Ok();
            }
            if (frame->width != source_->Width() || frame->height != source_->Height()) {
                Broke(true, "the frame size changes from " + std::to_string(source_->Width()) +
                                "x" + std::to_string(source_->Height()) + " to " +
                                std::to_string(frame->width) + "x" + std::to_string(frame->height));
                av_frame_unref(frame);
                return Ok();
            }
            Status status = Repair(frame);
            av_frame_unref(frame);
            if (!status)
                return status;
            if (refused_)
                return Ok();
            progress.Update(++framesDone_);
        }
    }

    // The converters of the strips that the filter reads and changes, the plug-in's two
    // bitmaps, and the frames that the encoder takes.
    void PrepareRepair() {
        const int width = decoder_->width, height = decoder_->height;
        const AVPixelFormat format = encoder_->pix_fmt;
        source_ = std::make_unique<HostBitmap>(width, height);
        // The border filter repairs a frame in place when its two bitmaps are one, and skips
        // copying the whole picture; any other filter gets a destination of its own.
        if (!job_.border)
            destination_ = std::make_unique<HostBitmap>(width, height);
        outputs_ = std::make_unique<FramePool>(format, width, height);
        // The border filter reads and changes the strips its settings reach; any other filter
        // the whole picture. An interlaced picture's fields keep their chroma rows apart.
        const AVFieldOrder order = input_->streams[videoIndex_]->codecpar->field_order;
        kantora::PictureLayout layout;
        layout.width = width;
        layout.height = height;
        layout.chromaAcross = ChromaColumnsOf(format);
        layout.chromaDown = ChromaRowsOf(format);
        layout.interlaced = order != AV_FIELD_PROGRESSIVE && order != AV_FIELD_UNKNOWN;
        const kantora::EdgeDepths whole{height, 0, 0, 0};
        const kantora::BorderReach reach = job_.border
                                               ? kantora::ReachOf(*job_.border, width, height)
                                               : kantora::BorderReach{whole, whole};
        changesNothing_ = reach.ChangesNothing();
        const kantora::StripPlan strips = kantora::PlanStrips(layout, reach);
        reader_ = std::make_unique<StripConverter>(format, StripConverter::Direction::ToHost,
                                                   strips.reads);
        writer_ = std::make_unique<StripConverter>(format, StripConverter::Direction::FromHost,
                                                   strips.changes);
    }

    // The decoded picture where the filter's strips go: the decoded frame itself where the
    // encoder takes its format and no one else holds it, else a copy or a conversion.
    AVFrame *OutputFrame(AVFrame *decoded) {
        const bool sameFormat = decoded->format == encoder_->pix_fmt;
        if (sameFormat && (changesNothing_ || av_frame_is_writable(decoded)))
            return decoded;
        AVFrame *out = outputs_->Take();
        if (sameFormat) {
            av_frame_copy(out, decoded);
        } else {
            const int width = decoded->width, height = decoded->height;
            whole_.reset(sws_getCachedContext(
                whole_.release(), width, height, static_cast<AVPixelFormat>(decoded->format), width,
                height, encoder_->pix_fmt, kScalerFlags, nullptr, nullptr, nullptr));
            if (!whole_)
                throw std::bad_alloc();  // both formats were checked when the encoder was chosen
            const ColourKey key{whole_.get(), decoded->colorspace, decoded->color_range};
            if (!(key == colourKey_)) {
                if (!IsRgb(static_cast<AVPixelFormat>(decoded->format)))
                    SetYuvMatrix(whole_.get(), decoded->colorspace, decoded->color_range, true);
                if (!IsRgb(encoder_->pix_fmt))
                    SetYuvMatrix(whole_.get(), encoder_->colorspace, encoder_->color_range, false);
                colourKey_ = key;
            }
            sws_scale(whole_.get(), decoded->data, decoded->linesize, 0, height, out->data,
                      out->linesize);
        }
        out->color_range = encoder_->color_range;
        out->colorspace = encoder_->colorspace;
        out->color_primaries = encoder_->color_primaries;
        out->color_trc = encoder_->color_trc;
        out->chroma_location = encoder_->chroma_sample_location;
        return out;
    }

    Status Repair(AVFrame *frame) {
        AVFrame *out = OutputFrame(frame);
        if (!changesNothing_) {
            reader_->ToHost(*out, *source_);
            HostBitmap &destination = destination_ ? *destination_ : *source_;
            Status run = filter_.Run(*source_, destination);
            if (!run) {
                refused_ = run.failure();
                return Ok();
            }
            writer_->FromHost(destination, *out);
        }
        out->pts = NextTime(frame);
        out->interlaced_frame = frame->interlaced_frame;
        out->top_field_first = frame->top_field_first;
        out->sample_aspect_ratio = encoder_->sample_aspect_ratio;
        // The encoder picks its own picture types, not the input's.
        out->pict_type = AV_PICTURE_TYPE_NONE;
        out->key_frame = 0;
        return Encode(out);
    }

    // The frame's time on the encoder's clock, kept rising even where the input's is not.
    int64_t NextTime(const AVFrame *frame) {
        const AVRational inputClock = input_->streams[videoIndex_]->time_base;
        int64_t time = frame->best_effort_timestamp;
        time = time == AV_NOPTS_VALUE ? lastTime_ + 1
                                      : av_rescale_q(time, inputClock, encoder_->time_base);
        if (lastTime_ != AV_NOPTS_VALUE && time <= lastTime_)
            time = lastTime_ + 1;
        lastTime_ = time;
        return time;
    }

    // Encoding and muxing run on a thread of their own, so that the next frame is decoded and
    // repaired meanwhile. A frame is handed over as a reference of its own; null ends the video.
    Status Encode(const AVFrame *frame) {
        std::shared_ptr<AVFrame> handed;
        if (frame != nullptr) {
            handed.reset(av_frame_clone(frame), [](AVFrame *f) { av_frame_free(&f); });
            if (!handed)
                throw std::bad_alloc();
        }
        const int64_t number = framesDone_ + 1;
        return encoding_->Post([this, handed, number] { return EncodeNow(handed.get(), number); });
    }

    Status Copy(const AVPacket *packet) {
        if (streamMap_[packet->stream_index] < 0)
            return Ok();
        std::shared_ptr<AVPacket> handed(av_packet_clone(packet),
                                         [](AVPacket *p) { av_packet_free(&p); });
        if (!handed)
            throw std::bad_alloc();
        return encoding_->Post([this, handed] { return CopyNow(handed.get()); });
    }

    Status EncodeNow(const AVFrame *frame, int64_t number) {
        int result = avcodec_send_frame(encoder_.get(), frame);
        if (result < 0 && result != AVERROR_EOF)
            return Fail("cannot encode frame " + std::to_string(number) + " with " +
                        choice_.encoder->name + ": " + AvError(result));
        AVStream *out = output_->streams[streamMap_[videoIndex_]];
        for (;;) {
            result = avcodec_receive_packet(encoder_.get(), encoded_.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return Ok();
            if (result < 0)
                return Fail("cannot encode with " + std::string(choice_.encoder->name) + ": " +
                            AvError(result));
            av_packet_rescale_ts(encoded_.get(), encoder_->time_base, out->time_base);
            encoded_->stream_index = out->index;
            result = av_interleaved_write_frame(output_.get(), encoded_.get());
            if (result < 0)
                return Fail("cannot write " + outputName_ + ": " + AvError(result));
        }
    }

    Status CopyNow(AVPacket *packet) {
        const int target = streamMap_[packet->stream_index];
        av_packet_rescale_ts(packet, input_->streams[packet->stream_index]->time_base,
                             output_->streams[target]->time_base);
        packet->stream_index = target;
        packet->pos = -1;
        const int result = av_interleaved_write_frame(output_.get(), packet);
        if (result < 0)
            return Fail("cannot write " + outputName_ + ": " + AvError(result));
        return Ok();
    }

    static constexpr int kScalerFlags = SWS_BICUBIC;
    // Frames and packets queued for the encoding thread.
    static constexpr size_t kFramesAhead = 4;

    struct ColourKey {
        const SwsContext *converter = nullptr;
        int colorspace = -1;
        int range = -1;
        bool operator==(const ColourKey &o) const {
            return converter == o.converter && colorspace == o.colorspace && range == o.range;
        }
    };

    FrameFilter &filter_;
    const VideoJob &job_;
    const std::string inputName_, outputName_;  // as messages show them
    LibraryLog errors_;
    InputFile input_;
    Muxer output_;
    Codec decoder_;
    Codec encoder_;
    EncoderChoice choice_;
    int videoIndex_ = -1;
    std::vector<int> streamMap_;
    Scaler whole_;  // the whole picture into the encoder's format, where it is not the input's
    ColourKey colourKey_;
    std::unique_ptr<HostBitmap> source_;
    std::unique_ptr<HostBitmap> destination_;  // null: the filter works in place in source_
    std::unique_ptr<StripConverter> reader_;   // the strips the filter reads, to its pixels
    std::unique_ptr<StripConverter> writer_;   // the strips it changes, back
    std::unique_ptr<FramePool> outputs_;
    bool changesNothing_ = false;  // the filter leaves every frame as it came
    Packet encoded_;
    int64_t framesDone_ = 0;
    int64_t skippedAtStart_ = 0;
    int64_t lastTime_ = AV_NOPTS_VALUE;
    Break break_;
    std::optional<Failure> refused_;  // the filter refused a frame: no frame after it is made
    // Last, so that it stops before anything that its tasks use goes.
    std::unique_ptr<SerialWorker> encoding_;
};

}  // namespace

Status RepairVideo(FrameFilter &filter, const VideoJob &job) {
    return VideoRepair(filter, job).Run();
}

}  // namespace filterhost
