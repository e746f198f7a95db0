#include "raw_frames.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

#if defined(__linux__)
#include <fcntl.h>
#endif

namespace filterhost {

RawFrameReader::RawFrameReader(std::FILE *stream, std::string name, FrameSize size)
    : stream_(stream), name_(std::move(name)), size_(size) {}

// A pipe holds 64 KiB by default, so a frame of some megabytes takes dozens of trips through
// it, each a wake-up of both sides; a wider pipe takes far fewer. Where this is refused (not a
// pipe, or above the system's limit), the stream works as it is.
void WidenPipe(std::FILE *stream, size_t frameBytes) {
#if defined(__linux__) && defined(F_SETPIPE_SZ)
    const int fd = fileno(stream);
    for (size_t bytes = std::min<size_t>(frameBytes, size_t{1} << 20); bytes >= 65536; bytes /= 2)
        if (fcntl(fd, F_SETPIPE_SZ, static_cast<int>(bytes)) >= 0)
            return;
#else
    (void)stream;
    (void)frameBytes;
#endif
}

Expected<bool> RawFrameReader::Next(HostBitmap &bitmap) {
    const size_t frameBytes = size_.Bytes();
    const bool whole = bitmap.InStreamLayout();
    const size_t pieceBytes = whole ? frameBytes : size_t(size_.width) * 4;
    const int32_t pieces = whole ? 1 : size_.height;
    size_t got = 0;
    for (int32_t piece = 0; piece < pieces && got == size_t(piece) * pieceBytes; ++piece) {
        uint8_t *to = bitmap.PictureRowBytes(piece);
        size_t pieceGot = 0;
        while (pieceGot < pieceBytes) {
            const size_t n = std::fread(to + pieceGot, 1, pieceBytes - pieceGot, stream_);
            if (n == 0)
                break;
            pieceGot += n;
        }
        got += pieceGot;
    }
    if (std::ferror(stream_))
        return Fail("cannot read " + name_ + ": " + std::strerror(errno));
    if (got == 0)
        return false;
    if (got < frameBytes)
        return Fail(name_ + " ends inside frame " + std::to_string(framesRead_ + 1) + " (" +
                    std::to_string(got) + " of " + std::to_string(frameBytes) +
                    " bytes): the input is not a whole number of " + std::to_string(size_.width) +
                    "x" + std::to_string(size_.height) + " frames");
    ++framesRead_;
    return true;
}

Status WriteRawFrame(std::FILE *stream, const std::string &name, const HostBitmap &bitmap) {
    const bool whole = bitmap.InStreamLayout();
    const size_t pieceBytes = size_t(bitmap.Width()) * 4 * (whole ? size_t(bitmap.Height()) : 1);
    const int32_t pieces = whole ? 1 : bitmap.Height();
    for (int32_t piece = 0; piece < pieces; ++piece)
        if (std::fwrite(bitmap.PictureRowBytes(piece), 1, pieceBytes, stream) != pieceBytes)
            return Fail("cannot write " + name + ": " + std::strerror(errno));
    if (std::fflush(stream) != 0)
        return Fail("cannot write " + name + ": " + std::strerror(errno));
    return Ok();
}

}  // namespace filterhost
