#include <cstdio>

#include <gtest/gtest.h>

#include "frame_read_ahead.h"
#include "host_bitmap.h"
#include "png_files.h"
#include "raw_frames.h"
#if !defined(_WIN32)  // the Windows build reads no PNG files
#include "png_bytes.h"
#endif

namespace filterhost {
namespace {

TEST(HostBitmap, TurnsTopDownBytesIntoBottomUpPixelsAndBack) {
    // 3 x 2 picture; byte k of the stream is k, so every pixel is distinct.
    std::vector<uint8_t> bytes(3 * 2 * 4);
    for (size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = uint8_t(k);
    for (auto [padding, order] : {std::pair{ptrdiff_t{0}, RowOrder::BottomUp},
                                  {ptrdiff_t{8}, RowOrder::BottomUp},
                                  {ptrdiff_t{0}, RowOrder::TopDown},
                                  {ptrdiff_t{8}, RowOrder::TopDown}}) {
        HostBitmap bitmap(3, 2, padding, order);
        bitmap.LoadTopDown(bytes.data());
        const FilterBitmap &record = *bitmap.Record();
        const ptrdiff_t sign = order == RowOrder::TopDown ? -1 : 1;
        EXPECT_EQ(record.pitch, sign * (12 + padding));
        EXPECT_EQ(record.modulo, record.pitch - 12);
        EXPECT_EQ(bitmap.InStreamLayout(), order == RowOrder::TopDown && padding == 0);
        EXPECT_EQ(record.depth, 32);
        EXPECT_EQ(record.hostVtable, nullptr);
        // Memory row 0 is the picture's bottom row: stream bytes 12..23, B G R X per pixel.
        EXPECT_EQ(bitmap.Row(0)[0], 0x0F0E0D0Cu);
        EXPECT_EQ(bitmap.Row(1)[2], 0x0B0A0908u);
        EXPECT_EQ(reinterpret_cast<const char *>(record.data) + record.pitch,
                  reinterpret_cast<const char *>(bitmap.Row(1)));
        std::vector<uint8_t> back(bytes.size(), 0xEE);
        bitmap.StoreTopDown(back.data());
        EXPECT_EQ(back, bytes);
        EXPECT_TRUE(bitmap.PaddingIntact());
        if (padding > 0) {
            bitmap.Row(0)[3] = 0;  // first word after the bottom row
            EXPECT_FALSE(bitmap.PaddingIntact());
        }
    }
}

TEST(FrameSize, AcceptsOnlyTwoPositiveSides) {
    std::optional<FrameSize> size = ParseFrameSize("720x576");
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 720);
    EXPECT_EQ(size->height, 576);
    EXPECT_EQ(size->Bytes(), 720u * 576u * 4u);
    EXPECT_TRUE(ParseFrameSize("1x16384").has_value());
    for (const char *bad : {"", "x", "720", "720x", "x576", "0x576", "720x0", "-1x5", "720X576",
                            "720x576x2", "16385x1", "99999999999x1", " 7x5", "7x5 ", "7.5x5"})
        EXPECT_FALSE(ParseFrameSize(bad).has_value()) << bad;
}

// Frames go from the stream into the bitmap's rows and back out unchanged, whatever the rows'
// order and padding.
TEST(RawFrames, ReadIntoBitmapRowsAndWrittenBackRefusingAFrameCutShort) {
    const FrameSize size{2, 3};  // 24 bytes a frame
    std::vector<uint8_t> data(24 * 2 + 5);
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = uint8_t(k * 7);
    for (auto [padding, order] : {std::pair{ptrdiff_t{0}, RowOrder::TopDown},
                                  {ptrdiff_t{8}, RowOrder::TopDown},
                                  {ptrdiff_t{4}, RowOrder::BottomUp}}) {
        std::FILE *stream = std::tmpfile();
        std::FILE *out = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        ASSERT_NE(out, nullptr);
        std::fwrite(data.data(), 1, data.size(), stream);
        std::rewind(stream);

        RawFrameReader reader(stream, "in.raw", size);
        HostBitmap bitmap(size.width, size.height, padding, order);
        for (int n = 0; n < 2; ++n) {
            Expected<bool> more = reader.Next(bitmap);
            ASSERT_TRUE(more.ok());
            EXPECT_TRUE(*more);
            EXPECT_EQ(bitmap.Row(0)[0],
                      uint32_t(data[n * 24 + 16]) | uint32_t(data[n * 24 + 17]) << 8 |
                          uint32_t(data[n * 24 + 18]) << 16 | uint32_t(data[n * 24 + 19]) << 24);
            EXPECT_TRUE(bitmap.PaddingIntact());
            ASSERT_TRUE(WriteRawFrame(out, "out.raw", bitmap).ok());
        }
        Expected<bool> cut = reader.Next(bitmap);
        ASSERT_FALSE(cut.ok());
        EXPECT_EQ(cut.failure().message,
                  "in.raw ends inside frame 3 (5 of 24 bytes): the input is not a whole number of "
                  "2x3 frames");
        std::fclose(stream);

        std::rewind(out);
        std::vector<uint8_t> written(data.size());
        written.resize(std::fread(written.data(), 1, written.size(), out));
        EXPECT_EQ(written, std::vector<uint8_t>(data.begin(), data.begin() + 48));
        std::fclose(out);
    }

    std::FILE *empty = std::tmpfile();
    RawFrameReader none(empty, "empty", size);
    HostBitmap bitmap(size.width, size.height, 0, RowOrder::TopDown);
    Expected<bool> end = none.Next(bitmap);
    ASSERT_TRUE(end.ok());
    EXPECT_FALSE(*end);
    std::fclose(empty);
}

// Frames read ahead on their own thread come out in stream order through a ring smaller
// than the stream, then the end or the cut-short failure; leaving early stops the reader, and
// a caller that takes only the first frame has read no frame more.
TEST(FrameReadAhead, HandsOutFramesInOrderThenTheEndOrTheFailure) {
    const FrameSize size{3, 2};  // 24 bytes a frame
    struct Case {
        int frames, extraBytes, taken;
    };
    for (const Case c : {Case{0, 0, 1}, {1, 0, 2}, {7, 0, 8}, {7, 5, 8}, {7, 0, 1}, {0, 5, 1}}) {
        SCOPED_TRACE(std::to_string(c.frames) + " frames, " + std::to_string(c.extraBytes) +
                     " bytes more, " + std::to_string(c.taken) + " taken");
        std::FILE *stream = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        for (int n = 0; n < c.frames; ++n)
            for (int k = 0; k < 24; ++k)
                std::fputc(n * 24 + k, stream);
        for (int k = 0; k < c.extraBytes; ++k)
            std::fputc(0, stream);
        std::rewind(stream);
        {
            RawFrameReader reader(stream, "in.raw", size);
            FrameReadAhead frames(reader, size, {4, RowOrder::TopDown}, 2);
            for (int n = 0; n < c.taken; ++n) {
                Expected<HostBitmap *> frame = frames.Next();
                if (n < c.frames) {
                    ASSERT_TRUE(frame.ok());
                    ASSERT_NE(*frame, nullptr);
                    EXPECT_EQ((*frame)->PictureRowBytes(1)[0], uint8_t(n * 24 + 12));
                    EXPECT_TRUE((*frame)->PaddingIntact());
                } else if (c.extraBytes == 0) {
                    ASSERT_TRUE(frame.ok());
                    EXPECT_EQ(*frame, nullptr);
                } else {
                    ASSERT_FALSE(frame.ok());
                    EXPECT_EQ(frame.failure().message,
                              "in.raw ends inside frame " + std::to_string(c.frames + 1) +
                                  " (5 of 24 bytes): the input is not a whole number of 3x2 "
                                  "frames");
                }
            }
        }
        if (c.taken == 1) {
            EXPECT_EQ(std::ftell(stream), std::min(c.frames * 24 + c.extraBytes, 24));
        }
        std::fclose(stream);
    }
}

#if !defined(_WIN32)
TEST(ReadPng, TurnsEveryKindOfPictureIntoColourWithoutAlpha) {
    using namespace png_bytes;
    const std::string s("\0", 1);  // the filter byte that starts each scanline: none
    struct Case {
        const char *kind;
        std::string file;
        int width, height;
        std::vector<uint8_t> bgrx;
    } cases[] = {
        {"RGB",
         File(Header(2, 1, 8, 2), s + "\x01\x02\x03\xF0\xE0\xD0"),
         2,
         1,
         {3, 2, 1, 0, 0xD0, 0xE0, 0xF0, 0}},
        {"grey, 2 bits",
         File(Header(4, 1, 2, 0), s + "\x1B"),
         4,
         1,  // 0, 1, 2, 3
         {0, 0, 0, 0, 85, 85, 85, 0, 170, 170, 170, 0, 255, 255, 255, 0}},
        {"grey and alpha",
         File(Header(1, 2, 8, 4), s + "\x40\x01" + s + "\x80\xFF"),
         1,
         2,
         {0x40, 0x40, 0x40, 0, 0x80, 0x80, 0x80, 0}},
        {"palette with a transparent entry",
         File(Header(2, 1, 8, 3), s + "\x01\x02",
              Chunk("PLTE", "\x10\x20\x30\x40\x50\x60\x70\x80\x90") + Chunk("tRNS", "\x07\x08")),
         2,
         1,
         {0x60, 0x50, 0x40, 0, 0x90, 0x80, 0x70, 0}},
        {"RGBA, 16 bits",
         File(Header(1, 1, 16, 6), s + "\x12\x34\x56\x78\x9A\xBC\x01\x02"),
         1,
         1,
         {0x9A, 0x56, 0x12, 0}},
        // Interlaced 2x2: pass 1 holds (0,0), pass 6 (1,0), pass 7 the second row.
        {"interlaced",
         File(Header(2, 2, 8, 0, 1), s + "\x01" + s + "\x02" + s + "\x03\x04"),
         2,
         2,
         {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0, 4, 4, 4, 0}},
    };
    for (const Case &c : cases) {
        std::FILE *stream = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        std::fwrite(c.file.data(), 1, c.file.size(), stream);
        std::rewind(stream);
        Expected<HostBitmap> picture = ReadPng(stream, c.kind);
        std::fclose(stream);
        ASSERT_TRUE(picture.ok()) << c.kind << ": " << picture.failure().message;
        ASSERT_EQ(picture->Width(), c.width) << c.kind;
        ASSERT_EQ(picture->Height(), c.height) << c.kind;
        std::vector<uint8_t> bgrx(c.bgrx.size());
        picture->StoreTopDown(bgrx.data());
        EXPECT_EQ(bgrx, c.bgrx) << c.kind;
    }
}
#endif

}  // namespace
}  // namespace filterhost
