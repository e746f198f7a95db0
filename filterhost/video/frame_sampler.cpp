#include "frame_sampler.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "av_handles.h"
#include "caught.h"
#include "frame_sampling.h"
#include "library_log.h"
#include "printable_text.h"
#include "video_input.h"

namespace filterhost {

namespace {

// Nearer than this, the next frame wanted is reached by decoding on rather than by seeking:
// a seek lands on the key frame before it and decodes from there anyway.
constexpr int64_t kSeekGapFrames = 300;

class VideoFrames final : public FrameSource {
public:
    VideoFrames(const std::string &path, BitmapLayout layout)
        : FrameSource(kantora::PrintableWhole(path)), path_(path), layout_(layout) {}

    Status Open() {
        Expected<VideoInput> opened = OpenVideoInput(path_, log_);
        if (!opened)
            return opened.failure();
        input_ = std::move(opened->demuxer);
        stream_ = opened->stream;
        decoder_ = std::move(opened->decoder);
        packet_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!packet_ || !frame_)
            throw std::bad_alloc();
        return Ok();
    }

    Status Each(const FrameVisitor &visit) override {
        return Caught([&] {
            visit_ = &visit;
            return All([](int64_t) { return true; });
        });
    }
    Status Spread(int64_t wanted, const FrameCount &expect, const FrameVisitor &visit) override {
        return Caught([&] {
            visit_ = &visit;
            return SpreadOver(wanted, expect);
        });
    }

private:
    Status SpreadOver(int64_t wanted, const FrameCount &expect);

    // The number of frames, where the container says it or its duration and rate tell it.
    int64_t FramesInStream() const {
        if (stream_->nb_frames > 0)
            return stream_->nb_frames;
        const AVRational rate = stream_->avg_frame_rate;
        if (stream_->duration > 0 && rate.num > 0 && rate.den > 0)
            return av_rescale_q(stream_->duration, stream_->time_base, av_inv_q(rate));
        if (input_->duration > 0 && rate.num > 0 && rate.den > 0)
            return av_rescale_q(input_->duration, AV_TIME_BASE_Q, av_inv_q(rate));
        return 0;
    }

    // Seeks to the frames wanted, each the first decoded at or after its time; false when the
    // container cannot seek to the first of them (the caller then decodes it all).
    Expected<bool> ByTime(const std::vector<int64_t> &wanted) {
        const AVRational rate = stream_->avg_frame_rate;
        const int64_t start = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
        int64_t decodedUpTo = -1;  // the frame number the decoder has reached
        for (int64_t index : wanted) {
            const int64_t time = start + av_rescale_q(index, av_inv_q(rate), stream_->time_base);
            if (decodedUpTo < 0 || index - decodedUpTo > kSeekGapFrames) {
                if (av_seek_frame(input_.get(), stream_->index, time, AVSEEK_FLAG_BACKWARD) >= 0)
                    avcodec_flush_buffers(decoder_.get());
                else if (decodedUpTo < 0)
                    return false;
                // else decoding on reaches it too, only slower
            }
            Expected<bool> found = DecodeUntil(time);
            if (!found)
                return found.failure();
            if (!*found)
                break;  // the file ends before it
            decodedUpTo = index;
            if (!VisitFrame())
                break;
        }
        return true;
    }

    // The times of the key frames the container's index lists, where decoding can start.
    std::vector<int64_t> KeyFrameTimes() const {
        std::vector<int64_t> times;
        const int entries = avformat_index_get_entries_count(stream_);
        for (int k = 0; k < entries; ++k) {
            const AVIndexEntry *entry = avformat_index_get_entry(stream_, k);
            if (entry != nullptr && (entry->flags & AVINDEX_KEYFRAME) &&
                (times.empty() || entry->timestamp > times.back()))
                times.push_back(entry->timestamp);
        }
        return times;
    }

    // Runs of `run` frames, each from a key frame (its time, and a time after it and before the
    // next key frame to seek to: an index may give decoding times, which lie before the
    // showing times that seeking goes by): a run costs the decoding of its own frames only,
    // whatever the distance between key frames.
    struct KeyFrame {
        int64_t time;
        int64_t seekTo;
    };
    Status FromKeyFrames(const std::vector<KeyFrame> &keys, int64_t run) {
        int64_t visitedUpTo = AV_NOPTS_VALUE;
        for (const auto &[key, seekTo] : keys) {
            if (visitedUpTo == AV_NOPTS_VALUE || key > visitedUpTo) {
                if (av_seek_frame(input_.get(), stream_->index, seekTo, AVSEEK_FLAG_BACKWARD) < 0)
                    return Fail("cannot seek in " + Name());
                avcodec_flush_buffers(decoder_.get());
                ended_ = false;
            }
            for (int64_t taken = 0; taken < run;) {
                Expected<bool> next = NextFrame();
                if (!next)
                    return next.failure();
                if (!*next)
                    return Ok();
                const int64_t at = frame_->best_effort_timestamp;
                if (at != AV_NOPTS_VALUE &&
                    (at < key || (visitedUpTo != AV_NOPTS_VALUE && at <= visitedUpTo))) {
                    av_frame_unref(frame_.get());
                    continue;  // before the key frame's time, or seen in the run before
                }
                if (at != AV_NOPTS_VALUE)
                    visitedUpTo = at;
                if (!VisitFrame())
                    return Ok();
                ++taken;
            }
        }
        return Ok();
    }

    // Decodes the whole file, visiting the frames `take` chooses by number.
    template <class Take>
    Status All(Take take) {
        int64_t index = 0;
        for (;;) {
            Expected<bool> next = NextFrame();
            if (!next)
                return next.failure();
            if (!*next)
                return Ok();
            if (take(index++) && !VisitFrame())
                return Ok();
        }
    }

    bool CanSeek() const {
        return input_->pb != nullptr && (input_->pb->seekable & AVIO_SEEKABLE_NORMAL) &&
               stream_->avg_frame_rate.num > 0 && stream_->avg_frame_rate.den > 0;
    }

    // The next decoded frame in frame_; false at the end of the file.
    Expected<bool> NextFrame() {
        for (;;) {
            const int received = avcodec_receive_frame(decoder_.get(), frame_.get());
            if (received >= 0)
                return true;
            if (received == AVERROR_EOF)
                return false;
            if (received != AVERROR(EAGAIN))
                continue;  // a damaged picture: the next one may decode
            if (ended_)
                return false;
            const int read = av_read_frame(input_.get(), packet_.get());
            if (read < 0) {
                ended_ = true;
                avcodec_send_packet(decoder_.get(), nullptr);
                continue;
            }
            if (packet_->stream_index == stream_->index)
                avcodec_send_packet(decoder_.get(), packet_.get());  // refused packets are skipped
            av_packet_unref(packet_.get());
        }
    }

    Expected<bool> DecodeUntil(int64_t time) {
        for (;;) {
            Expected<bool> next = NextFrame();
            if (!next || !*next)
                return next;
            const int64_t at = frame_->best_effort_timestamp;
            if (at == AV_NOPTS_VALUE || at >= time)
                return true;
        }
    }

    // Converts the decoded frame to the host's pixels and hands it over; false: no more.
    bool VisitFrame() {
        const int width = frame_->width, height = frame_->height;
        const AVPixelFormat format = static_cast<AVPixelFormat>(frame_->format);
        scaler_.reset(sws_getCachedContext(scaler_.release(), width, height, format, width, height,
                                           AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr,
                                           nullptr));
        if (!scaler_) {
            av_frame_unref(frame_.get());
            return true;
        }
        const int matrix =
            frame_->colorspace != AVCOL_SPC_UNSPECIFIED ? frame_->colorspace : AVCOL_SPC_BT470BG;
        int *inverse, sourceFull, *table, destinationFull, brightness, contrast, saturation;
        if (sws_getColorspaceDetails(scaler_.get(), &inverse, &sourceFull, &table, &destinationFull,
                                     &brightness, &contrast, &saturation) >= 0)
            sws_setColorspaceDetails(scaler_.get(), sws_getCoefficients(matrix),
                                     frame_->color_range == AVCOL_RANGE_JPEG, table,
                                     destinationFull, brightness, contrast, saturation);
        if (!bitmap_ || bitmap_->Width() != width || bitmap_->Height() != height)
            bitmap_.emplace(width, height, layout_);
        // From the top row down, whichever way the bitmap's rows lie in memory.
        uint8_t *planes[1] = {bitmap_->PictureRowBytes(0)};
        const int steps[1] = {static_cast<int>(-bitmap_->Pitch())};
        sws_scale(scaler_.get(), frame_->data, frame_->linesize, 0, height, planes, steps);
        av_frame_unref(frame_.get());
        return (*visit_)(*bitmap_);
    }

    std::string path_;  // Name() is as messages show it
    BitmapLayout layout_;
    LibraryLog log_;
    InputFile input_;
    AVStream *stream_ = nullptr;
    Codec decoder_;
    Packet packet_;
    Frame frame_;
    Scaler scaler_;
    std::optional<HostBitmap> bitmap_;
    const FrameVisitor *visit_ = nullptr;
    bool ended_ = false;
};

// Where the container indexes its key frames, runs of frames from key frames spread over the
// file: only the frames measured are decoded. Else frames spread by time where the container
// can seek, or the whole file decoded and sampled.
Status VideoFrames::SpreadOver(int64_t wanted, const FrameCount &expect) {
    const std::vector<int64_t> keys = CanSeek() ? KeyFrameTimes() : std::vector<int64_t>();
    if (!keys.empty()) {
        const int64_t runs = std::min<int64_t>(static_cast<int64_t>(keys.size()), wanted);
        const int64_t run = (wanted + runs - 1) / runs;
        std::vector<KeyFrame> chosen;
        for (int64_t index : EvenlySpread(static_cast<int64_t>(keys.size()), runs)) {
            const int64_t key = keys[size_t(index)];
            const int64_t next =
                size_t(index) + 1 < keys.size() ? keys[size_t(index) + 1] : key + 2;
            chosen.push_back({key, key + (next - key) / 2});
        }
        expect(runs * run);
        return FromKeyFrames(chosen, run);
    }
    const int64_t count = FramesInStream();
    if (count > 0) {
        const std::vector<int64_t> chosen = EvenlySpread(count, wanted);
        expect(static_cast<int64_t>(chosen.size()));
        if (CanSeek()) {
            Expected<bool> seeked = ByTime(chosen);
            if (!seeked)
                return seeked.failure();
            if (*seeked)
                return Ok();
        }
        size_t next = 0;
        return All([&](int64_t index) {
            if (next < chosen.size() && chosen[next] == index) {
                ++next;
                return true;
            }
            return false;
        });
    }
    expect(0);
    StreamSampler streamed(wanted);
    return All([&](int64_t index) { return streamed.Take(index); });
}

}  // namespace

Expected<std::unique_ptr<FrameSource>> OpenVideoFrames(const std::string &path,
                                                       BitmapLayout layout) {
    return Caught([&]() -> Expected<std::unique_ptr<FrameSource>> {
        auto frames = std::make_unique<VideoFrames>(path, layout);
        Status opened = frames->Open();
        if (!opened)
            return opened.failure();
        return std::unique_ptr<FrameSource>(std::move(frames));
    });
}

}  // namespace filterhost
