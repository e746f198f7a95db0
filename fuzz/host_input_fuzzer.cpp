// The stand-in host's input on any bytes: the first byte picks PNG or raw frames.
// PNG: a picture is refused with a message or read within the limits, with X bytes 0, and
// written and read again it gives the same pixels. Raw frames: as many whole frames as the
// bytes hold, each the bytes themselves, and an error exactly when a frame is cut short.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_input.h"
#include "png_files.h"
#include "host_bitmap.h"
#include "raw_frames.h"

namespace filterhost {
namespace {

using Stream = std::unique_ptr<std::FILE, int (*)(std::FILE *)>;

Stream ReadingFrom(const uint8_t *data, size_t size) {
    static uint8_t none;
    return Stream(fmemopen(size > 0 ? const_cast<uint8_t *>(data) : &none, size, "rb"),
                  std::fclose);
}

// Smaller than the host's own limits, so that the fuzzer spends its time on decoding rather
// than on clearing memory for pictures that a cut-short file never fills.
const PictureLimits kLimits = {2048, 1 << 20};

std::vector<uint8_t> Bytes(const HostBitmap &picture) {
    std::vector<uint8_t> bytes(size_t(picture.Width()) * size_t(picture.Height()) * 4);
    picture.StoreTopDown(bytes.data());
    return bytes;
}

void CheckPng(const uint8_t *data, size_t size) {
    Stream stream = ReadingFrom(data, size);
    Expected<HostBitmap> picture = ReadPng(stream.get(), "fuzz.png", {}, kLimits);
    if (!picture) {
        const std::string &message = picture.failure().message;
        FUZZ_CHECK(!message.empty() && message.find('\n') == std::string::npos);
        return;
    }
    FUZZ_CHECK(picture->Width() >= 1 && picture->Width() <= kLimits.maxSide);
    FUZZ_CHECK(picture->Height() >= 1 && picture->Height() <= kLimits.maxSide);
    FUZZ_CHECK(int64_t{picture->Width()} * picture->Height() <= kLimits.maxPixels);
    FUZZ_CHECK(picture->PaddingIntact());
    const std::vector<uint8_t> bytes = Bytes(*picture);
    for (size_t k = 3; k < bytes.size(); k += 4)
        FUZZ_CHECK(bytes[k] == 0);

    char *encoded = nullptr;
    size_t encodedSize = 0;
    std::FILE *out = open_memstream(&encoded, &encodedSize);
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(WritePng(out, "again.png", *picture).ok());
    std::fclose(out);
    Stream again = ReadingFrom(reinterpret_cast<uint8_t *>(encoded), encodedSize);
    Expected<HostBitmap> back = ReadPng(again.get(), "again.png", {}, kLimits);
    FUZZ_CHECK(back.ok() && back->Width() == picture->Width() &&
               back->Height() == picture->Height() && Bytes(*back) == bytes);
    again.reset();
    std::free(encoded);
}

void CheckRawFrames(fuzz::FuzzInput &in) {
    const FrameSize size{in.UpTo(64), in.UpTo(64)};
    const uint8_t *bytes = in.Rest();
    const size_t count = in.RestSize();
    Stream stream = ReadingFrom(bytes, count);
    RawFrameReader reader(stream.get(), "fuzz.raw", size);
    HostBitmap bitmap(size.width, size.height, 0, RowOrder::TopDown);
    std::vector<uint8_t> frame(size.Bytes());
    size_t offset = 0;
    for (;;) {
        Expected<bool> more = reader.Next(bitmap);
        if (!more) {
            FUZZ_CHECK(count - offset > 0 && count - offset < size.Bytes());
            return;
        }
        if (!*more)
            break;
        bitmap.StoreTopDown(frame.data());
        FUZZ_CHECK(offset + frame.size() <= count);
        FUZZ_CHECK(std::memcmp(frame.data(), bytes + offset, frame.size()) == 0);
        offset += frame.size();
    }
    FUZZ_CHECK(offset == count);
}

int TestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzInput in(data, size);
    if (in.Byte() % 2 == 0)
        CheckPng(in.Rest(), in.RestSize());
    else
        CheckRawFrames(in);
    return 0;
}

}  // namespace
}  // namespace filterhost

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return filterhost::TestOneInput(data, size);
}
