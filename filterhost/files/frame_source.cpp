#include "frame_source.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "frame_read_ahead.h"
#include "frame_sampling.h"
#include "input_file.h"
#include "png_files.h"
#include "printable_text.h"
#include "raw_frames.h"

namespace filterhost {

namespace {

// How many whole frames a regular file holds; nothing for a pipe or a device.
std::optional<int64_t> FramesInFile(std::FILE *file, size_t frameBytes) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<int64_t>(status.st_size) / static_cast<int64_t>(frameBytes);
}

class RawFrames final : public FrameSource {
public:
    RawFrames(InputFile file, const std::string &path, FrameSize size, BitmapLayout layout)
        : FrameSource(InputName(path)), file_(std::move(file)), size_(size), layout_(layout) {}

    Status Each(const FrameVisitor &visit) override {
        WidenPipe(file_.get(), size_.Bytes());
        RawFrameReader reader(file_.get(), Name(), size_);
        FrameReadAhead frames(reader, size_, layout_);
        for (;;) {
            Expected<HostBitmap *> frame = frames.Next();
            if (!frame)
                return frame.failure();
            if (*frame == nullptr || !visit(**frame))
                return Ok();
        }
    }

    Status Spread(int64_t wanted, const FrameCount &expect, const FrameVisitor &visit) override {
        RawFrameReader reader(file_.get(), Name(), size_);
        HostBitmap frame(size_.width, size_.height, layout_);
        const std::optional<int64_t> total = FramesInFile(file_.get(), size_.Bytes());
        if (total.value_or(0) > 0) {
            const std::vector<int64_t> chosen = EvenlySpread(*total, wanted);
            expect(static_cast<int64_t>(chosen.size()));
            for (int64_t index : chosen) {
                const off_t at = static_cast<off_t>(index) * static_cast<off_t>(size_.Bytes());
                if (fseeko(file_.get(), at, SEEK_SET) != 0)
                    return Fail("cannot read " + Name() + ": " + std::strerror(errno));
                Expected<bool> read = reader.Next(frame);
                if (!read)
                    return read.failure();
                if (!*read || !visit(frame))
                    break;
            }
            return Ok();
        }
        expect(0);
        StreamSampler sampler(wanted);
        for (int64_t index = 0;; ++index) {
            Expected<bool> read = reader.Next(frame);
            if (!read)
                return read.failure();
            if (!*read || (sampler.Take(index) && !visit(frame)))
                return Ok();
        }
    }

private:
    InputFile file_;
    FrameSize size_;
    BitmapLayout layout_;
};

class OnePicture final : public FrameSource {
public:
    OnePicture(const std::string &path, HostBitmap picture)
        : FrameSource(kantora::PrintableWhole(path)), picture_(std::move(picture)) {}

    Status Each(const FrameVisitor &visit) override {
        visit(picture_);
        return Ok();
    }
    Status Spread(int64_t, const FrameCount &expect, const FrameVisitor &visit) override {
        expect(1);
        return Each(visit);
    }

private:
    HostBitmap picture_;
};

}  // namespace

Expected<std::unique_ptr<FrameSource>> OpenRawFrames(const std::string &path, FrameSize size,
                                                     BitmapLayout layout) {
    Expected<InputFile> file = OpenInput(path);
    if (!file)
        return file.failure();
    return std::unique_ptr<FrameSource>(
        std::make_unique<RawFrames>(std::move(*file), path, size, layout));
}

Expected<std::unique_ptr<FrameSource>> OpenPicture(const std::string &path, BitmapLayout layout) {
    Expected<HostBitmap> picture = ReadPng(path, layout);
    if (!picture)
        return picture.failure();
    return std::unique_ptr<FrameSource>(std::make_unique<OnePicture>(path, std::move(*picture)));
}

bool StartsLikePng(const std::string &path) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    unsigned char start[8] = {};
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    const size_t read = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    return read == sizeof start && std::memcmp(start, kSignature, sizeof start) == 0;
}

}  // namespace filterhost
