#include "png_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include <png.h>

#include "output_file.h"
#include "printable_text.h"

namespace filterhost {

namespace {

// Ancillary chunks (text, colour profiles) may not take more memory than this, nor be more.
constexpr png_alloc_size_t kChunkMemoryLimit = 8 << 20;
// No single allocation of libpng's may be larger: the picture's rows are ours, so libpng only
// needs row buffers and chunk data. Some chunk handlers size their buffer by a chunk's stated
// length before the chunk limit is applied; this cap holds whatever the chunk says.
constexpr png_alloc_size_t kAllocationLimit = 2 * kChunkMemoryLimit;
constexpr png_uint_32 kChunkCountLimit = 256;

// The signature and the IHDR chunk's length, type, width and height.
constexpr size_t kHeadSize = 24;

// What libpng's callbacks share with the code that called it. Plain data: libpng leaves its
// callbacks by longjmp.
struct PngIo {
    std::FILE *stream = nullptr;
    unsigned char head[kHeadSize] = {};  // bytes read ahead of libpng, handed to it first
    size_t headSize = 0;
    size_t headUsed = 0;
    int streamError = 0;  // errno of a failed read, write or flush
    char message[200] = "";
};

std::string Reason(const PngIo &io) {
    return io.streamError != 0 ? std::strerror(io.streamError)
                               : kantora::PrintableWhole(io.message);
}

void PNGCBAPI OnError(png_structp png, png_const_charp message) {
    PngIo &io = *static_cast<PngIo *>(png_get_error_ptr(png));
    // The first error is the cause; it becomes part of a one-line message.
    if (io.message[0] == '\0')
        std::snprintf(io.message, sizeof io.message, "%s", message);
    png_longjmp(png, 1);
}

png_voidp PNGCBAPI Allocate(png_structp, png_alloc_size_t size) {
    return size <= kAllocationLimit ? std::malloc(size) : nullptr;  // libpng then reports it
}

void PNGCBAPI Free(png_structp, png_voidp block) { std::free(block); }

// Damaged ancillary chunks are skipped; a picture that decodes is not worth a second line.
void PNGCBAPI OnWarning(png_structp, png_const_charp) {}

void PNGCBAPI ReadBytes(png_structp png, png_bytep data, size_t size) {
    PngIo &io = *static_cast<PngIo *>(png_get_io_ptr(png));
    const size_t fromHead = std::min(size, io.headSize - io.headUsed);
    std::memcpy(data, io.head + io.headUsed, fromHead);
    io.headUsed += fromHead;
    const size_t rest = size - fromHead;
    if (rest > 0 && std::fread(data + fromHead, 1, rest, io.stream) != rest) {
        if (std::ferror(io.stream)) {
            io.streamError = errno != 0 ? errno : EIO;
            png_error(png, "read error");
        }
        png_error(png, "the file is cut short");
    }
}

void PNGCBAPI WriteBytes(png_structp png, png_bytep data, size_t size) {
    PngIo &io = *static_cast<PngIo *>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, size, io.stream) != size) {
        io.streamError = errno != 0 ? errno : EIO;
        png_error(png, "write error");
    }
}

void PNGCBAPI FlushBytes(png_structp png) {
    PngIo &io = *static_cast<PngIo *>(png_get_io_ptr(png));
    if (std::fflush(io.stream) != 0) {
        io.streamError = errno != 0 ? errno : EIO;
        png_error(png, "write error");
    }
}

uint32_t BigEndian(const unsigned char *bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    explicit ReadStructs(PngIo &io)
        : png(png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning, nullptr,
                                       Allocate, Free)),
          info(png != nullptr ? png_create_info_struct(png) : nullptr) {}
    ~ReadStructs() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    explicit WriteStructs(PngIo &io)
        : png(png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning)),
          info(png != nullptr ? png_create_info_struct(png) : nullptr) {}
    ~WriteStructs() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

// libpng reports an error by longjmp back into this function, which then returns false. What
// outlives the jump (the picture, the row pointers) belongs to the caller, so no destructor
// is skipped.
bool Decode(const ReadStructs &structs, PngIo &io, const PictureLimits &limits, BitmapLayout layout,
            std::optional<HostBitmap> &picture, std::vector<png_bytep> &rows) {
    png_structp png = structs.png;
    png_infop info = structs.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, static_cast<png_uint_32>(limits.maxSide),
                        static_cast<png_uint_32>(limits.maxSide));
    png_set_chunk_cache_max(png, kChunkCountLimit);
    png_set_chunk_malloc_max(png, kChunkMemoryLimit);
    png_set_read_fn(png, &io, ReadBytes);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
    if (int64_t{width} * int64_t{height} > limits.maxPixels)
        png_error(png, "the picture has too many pixels");
    // Every kind of PNG becomes 8-bit B, G, R and a zero byte; transparency is not kept.
    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (depth == 16)
        png_set_strip_16(png);
    // Expanding a palette also turns a transparent colour (tRNS) into an alpha channel.
    if ((colour & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_strip_alpha(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4)
        png_error(png, "unexpected row layout after conversion");

    picture.emplace(static_cast<int32_t>(width), static_cast<int32_t>(height), layout);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = picture->PictureRowBytes(static_cast<int32_t>(y));
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);  // the rest of the file up to IEND, checksums included
    return true;
}

bool Encode(const WriteStructs &structs, PngIo &io, const HostBitmap &picture,
            std::vector<png_bytep> &rows) {
    png_structp png = structs.png;
    png_infop info = structs.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &io, WriteBytes, FlushBytes);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width()),
                 static_cast<png_uint_32>(picture.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);  // X is dropped from each pixel
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

std::string SizeText(uint32_t width, uint32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace

Expected<HostBitmap> ReadPng(std::FILE *stream, const std::string &name, BitmapLayout layout,
                             const PictureLimits &limits) {
    PngIo io;
    io.stream = stream;
    io.headSize = std::fread(io.head, 1, kHeadSize, stream);
    if (std::ferror(stream))
        return Fail("cannot read image " + name + ": " + std::strerror(errno));
    if (io.headSize < 8 || png_sig_cmp(io.head, 0, 8) != 0)
        return Fail("cannot read image " + name + ": not a PNG file");
    // The size is checked before libpng takes memory for the picture, with a clearer message
    // than its own.
    if (io.headSize == kHeadSize && std::memcmp(io.head + 12, "IHDR", 4) == 0) {
        const uint32_t width = BigEndian(io.head + 16), height = BigEndian(io.head + 20);
        const uint32_t side = static_cast<uint32_t>(limits.maxSide);
        if (width == 0 || height == 0)
            return Fail("cannot read image " + name + ": its size is " + SizeText(width, height) +
                        ", a picture without pixels");
        if (width > side || height > side)
            return Fail("image " + name + " is " + SizeText(width, height) + ", larger than " +
                        std::to_string(limits.maxSide) + " on a side");
        if (int64_t{width} * int64_t{height} > limits.maxPixels)
            return Fail("image " + name + " is " + SizeText(width, height) + ", more than the " +
                        std::to_string(limits.maxPixels) + " pixels this host reads");
    }

    ReadStructs structs(io);
    if (structs.info == nullptr)
        return Fail("out of memory");
    std::optional<HostBitmap> picture;
    std::vector<png_bytep> rows;
    if (!Decode(structs, io, limits, layout, picture, rows))
        return Fail("cannot read image " + name + ": " + Reason(io));
    return std::move(*picture);
}

Expected<HostBitmap> ReadPng(const std::string &path, BitmapLayout layout,
                             const PictureLimits &limits) {
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          std::fclose);
    if (!file)
        return Fail("cannot open image " + kantora::PrintableWhole(path) + ": " +
                    std::strerror(errno));
    return ReadPng(file.get(), kantora::PrintableWhole(path), layout, limits);
}

Status WritePng(std::FILE *stream, const std::string &name, const HostBitmap &picture) {
    std::vector<png_bytep> rows(static_cast<size_t>(picture.Height()));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(picture.PictureRowBytes(static_cast<int32_t>(y)));
    PngIo io;
    io.stream = stream;
    WriteStructs structs(io);
    if (structs.info == nullptr)
        return Fail("out of memory");
    if (!Encode(structs, io, picture, rows))
        return Fail("cannot write image " + name + ": " + Reason(io));
    return Ok();
}

Status WritePng(const std::string &path, const HostBitmap &picture) {
    Expected<OutputFile> file = OutputFile::Open(path, "image " + kantora::PrintableWhole(path));
    if (!file)
        return file.failure();
    Status written = WritePng(file->Stream(), kantora::PrintableWhole(path), picture);
    if (!written)
        return written;
    return file->Commit();
}

}  // namespace filterhost
