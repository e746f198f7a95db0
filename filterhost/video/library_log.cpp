#include "library_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "printable_text.h"

extern "C" {
#include <libavutil/log.h>
}

namespace filterhost {

namespace {

// Read by the decoders' threads too, which log through the same callback and are never
// watched.
std::atomic<const void *> watchedDemuxer{nullptr};
std::atomic<const void *> watchedMuxer{nullptr};
std::string demuxerError;
std::string muxerError;
int owners = 0;
int levelBefore = AV_LOG_INFO;

void Log(void *source, int level, const char *format, va_list arguments) {
    if (source == nullptr || level > AV_LOG_ERROR)
        return;
    std::string *kept = source == watchedDemuxer ? &demuxerError
                        : source == watchedMuxer ? &muxerError
                                                 : nullptr;
    if (kept == nullptr || !kept->empty())
        return;
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '.'))
        message.pop_back();
    // The library's own words, which may quote the file: whole, but quoted.
    *kept = kantora::PrintableWhole(message);
}

}  // namespace

LibraryLog::LibraryLog() {
    watchedDemuxer = watchedMuxer = nullptr;
    demuxerError.clear();
    muxerError.clear();
    if (owners++ == 0) {
        levelBefore = av_log_get_level();
        av_log_set_level(AV_LOG_ERROR);
        av_log_set_callback(&Log);
    }
}

LibraryLog::~LibraryLog() {
    watchedDemuxer = watchedMuxer = nullptr;
    if (--owners == 0) {
        av_log_set_callback(&av_log_default_callback);
        av_log_set_level(levelBefore);
    }
}

void LibraryLog::WatchDemuxer(const AVFormatContext *context) { watchedDemuxer = context; }

void LibraryLog::WatchMuxer(const AVFormatContext *context) { watchedMuxer = context; }

const std::string &LibraryLog::Demuxer() const { return demuxerError; }

std::string LibraryLog::Muxer(const std::string &fallback) const {
    return muxerError.empty() ? fallback : muxerError;
}

}  // namespace filterhost
