// FFmpeg's log, which only this owns. FFmpeg's own messages would break the host's one-line
// errors, so none is printed while a LibraryLog lives. A demuxer that meets a damaged or cut
// file often says so only in its log and then ends as if the file were complete, and a muxer
// that refuses a stream says why only there: the first error that each of them logs is kept.
#pragma once

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace filterhost {

class LibraryLog {
public:
    LibraryLog();
    LibraryLog(const LibraryLog &) = delete;
    LibraryLog &operator=(const LibraryLog &) = delete;
    ~LibraryLog();  // FFmpeg logs as it would again once the last one goes

    // One demuxer and one muxer are watched at a time, on the thread that runs them.
    void WatchDemuxer(const AVFormatContext *context);
    void WatchMuxer(const AVFormatContext *context);
    // The demuxer's first error; empty if it logged none.
    const std::string &Demuxer() const;
    // The muxer's first error, or `fallback`.
    std::string Muxer(const std::string &fallback) const;
};

}  // namespace filterhost
