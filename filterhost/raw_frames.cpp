#include "raw_frames.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

bool ParseSide(std::string_view text, int32_t &side) {
    if (text.empty() || text.size() > 5)
        return false;
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxFrameSide)
        return false;
    side = value;
    return true;
}

}  // namespace

Expected<FrameSize> ParseFrameSize(std::string_view text) {
    const size_t x = text.find('x');
    FrameSize size;
    if (x == std::string_view::npos || !ParseSide(text.substr(0, x), size.width) ||
        !ParseSide(text.substr(x + 1), size.height))
        return Fail("bad --size '" + std::string(text) +
                        "': expected WIDTHxHEIGHT, each from 1 to " +
                        std::to_string(kMaxFrameSide) + ", such as 720x576",
                    kExitUsage);
    return size;
}

RawFrameReader::RawFrameReader(std::FILE *stream, std::string name, FrameSize size)
    : stream_(stream), name_(std::move(name)), size_(size) {}

Expected<bool> RawFrameReader::Next(std::vector<uint8_t> &frame) {
    frame.resize(size_.Bytes());
    size_t got = 0;
    while (got < frame.size()) {
        const size_t n = std::fread(frame.data() + got, 1, frame.size() - got, stream_);
        if (n == 0)
            break;
        got += n;
    }
    if (std::ferror(stream_))
        return Fail("cannot read " + name_ + ": " + std::strerror(errno));
    if (got == 0)
        return false;
    if (got < frame.size())
        return Fail(name_ + " ends inside frame " + std::to_string(framesRead_ + 1) + " (" +
                    std::to_string(got) + " of " + std::to_string(frame.size()) +
                    " bytes): the input is not a whole number of " + std::to_string(size_.width) +
                    "x" + std::to_string(size_.height) + " frames");
    ++framesRead_;
    return true;
}

Status WriteRawFrame(std::FILE *stream, const std::string &name, const std::vector<uint8_t> &frame) {
    if (std::fwrite(frame.data(), 1, frame.size(), stream) != frame.size() ||
        std::fflush(stream) != 0)
        return Fail("cannot write " + name + ": " + std::strerror(errno));
    return Ok();
}

void UseBinaryStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}
