// Raw video frames on a byte stream, as `ffmpeg -f rawvideo -pix_fmt bgra` reads and writes
// them: width * height * 4 bytes per frame, rows top to bottom, bytes B, G, R, X per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expected.h"
#include "host_bitmap.h"

struct FrameSize {
    int32_t width = 0;
    int32_t height = 0;
    size_t Bytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }
};

// Largest width or height accepted: a frame then still fits in memory on a 32-bit host.
constexpr int32_t kMaxFrameSide = 16384;

// "720x576": two decimal numbers from 1 to kMaxFrameSide joined by 'x'.
Expected<FrameSize> ParseFrameSize(std::string_view text);

// Reads whole frames one at a time, straight into the rows of a bitmap of the frame size (in
// one read when the bitmap holds the stream's layout); a stream that ends inside a frame is an
// error.
class RawFrameReader {
public:
    RawFrameReader(std::FILE *stream, std::string name, FrameSize size);
    // True with a frame in `bitmap`, false at the end of the stream.
    Expected<bool> Next(HostBitmap &bitmap);
    int64_t FramesRead() const { return framesRead_; }

private:
    std::FILE *stream_;
    std::string name_;
    FrameSize size_;
    int64_t framesRead_ = 0;
};

// Asks for a pipe that holds up to a frame (at most 1 MiB), if the stream is a pipe.
void WidenPipe(std::FILE *stream, size_t frameBytes);

// Writes the bitmap's picture as one raw frame, straight from its rows.
Status WriteRawFrame(std::FILE *stream, const std::string &name, const HostBitmap &bitmap);

// A stream to read frames from: the named file, or standard input for "-", which stays open.
struct CloseUnlessStandardInput {
    void operator()(std::FILE *file) const {
        if (file != stdin)
            std::fclose(file);
    }
};
using InputFile = std::unique_ptr<std::FILE, CloseUnlessStandardInput>;
Expected<InputFile> OpenInput(const std::string &path);
// How messages name it: the path, or "standard input".
std::string InputName(const std::string &path);

// Puts standard input and output into binary mode (a no-op outside Windows).
void UseBinaryStandardStreams();
