// filterhost/files: frames and pictures in files and streams, and the output files they go to.
// Raw video frames on a byte stream, as `ffmpeg -f rawvideo -pix_fmt bgra` reads and writes
// them: width * height * 4 bytes per frame, rows top to bottom, bytes B, G, R, X per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "host_results.h"
#include "frame_size.h"
#include "host_bitmap.h"

namespace filterhost {

// Reads whole frames one at a time, straight into the rows of a bitmap of the frame size (in
// one read when the bitmap holds the stream's layout); a stream that ends inside a frame is an
// error.
class RawFrameReader {
public:
    // `name` names the stream in messages, quoted as they show it (printable_text.h).
    RawFrameReader(std::FILE *stream, std::string name, FrameSize size);
    // True with a frame in `bitmap`, false at the end of the stream.
    Expected<bool> Next(HostBitmap &bitmap);

private:
    std::FILE *stream_;
    std::string name_;
    FrameSize size_;
    int64_t framesRead_ = 0;
};

// Asks for a pipe that holds up to a frame (at most 1 MiB), if the stream is a pipe.
void WidenPipe(std::FILE *stream, size_t frameBytes);

// Writes the bitmap's picture as one raw frame, straight from its rows; `name` as the reader's.
Status WriteRawFrame(std::FILE *stream, const std::string &name, const HostBitmap &bitmap);

}  // namespace filterhost
