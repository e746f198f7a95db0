#include <cstdio>

#include <gtest/gtest.h>

#include "host_bitmap.h"
#include "raw_frames.h"

namespace {

TEST(HostBitmap, TurnsTopDownBytesIntoBottomUpPixelsAndBack) {
    // 3 x 2 picture; byte k of the stream is k, so every pixel is distinct.
    std::vector<uint8_t> bytes(3 * 2 * 4);
    for (size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = uint8_t(k);
    for (ptrdiff_t padding : {0, 8}) {
        HostBitmap bitmap(3, 2, padding);
        bitmap.LoadTopDown(bytes.data());
        const FilterBitmap &record = *bitmap.Record();
        EXPECT_EQ(record.pitch, 12 + padding);
        EXPECT_EQ(record.modulo, padding);
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
    Expected<FrameSize> size = ParseFrameSize("720x576");
    ASSERT_TRUE(size.ok());
    EXPECT_EQ(size->width, 720);
    EXPECT_EQ(size->height, 576);
    EXPECT_EQ(size->Bytes(), 720u * 576u * 4u);
    EXPECT_TRUE(ParseFrameSize("1x16384").ok());
    for (const char *bad : {"", "x", "720", "720x", "x576", "0x576", "720x0", "-1x5", "720X576",
                            "720x576x2", "16385x1", "99999999999x1", " 7x5", "7x5 ", "7.5x5"}) {
        Expected<FrameSize> parsed = ParseFrameSize(bad);
        EXPECT_FALSE(parsed.ok()) << bad;
        if (!parsed.ok()) {
            EXPECT_EQ(parsed.failure().exitCode, kExitUsage);
        }
    }
}

TEST(RawFrameReader, DeliversWholeFramesAndRefusesAFrameCutShort) {
    std::FILE *stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    const FrameSize size{2, 3};  // 24 bytes a frame
    std::vector<uint8_t> data(24 * 2 + 5);
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = uint8_t(k * 7);
    std::fwrite(data.data(), 1, data.size(), stream);
    std::rewind(stream);

    RawFrameReader reader(stream, "in.raw", size);
    std::vector<uint8_t> frame;
    for (int n = 0; n < 2; ++n) {
        Expected<bool> more = reader.Next(frame);
        ASSERT_TRUE(more.ok());
        EXPECT_TRUE(*more);
        EXPECT_EQ(frame, std::vector<uint8_t>(data.begin() + n * 24, data.begin() + n * 24 + 24));
    }
    Expected<bool> cut = reader.Next(frame);
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.failure().message,
              "in.raw ends inside frame 3 (5 of 24 bytes): the input is not a whole number of "
              "2x3 frames");
    EXPECT_EQ(reader.FramesRead(), 2);
    std::fclose(stream);

    std::FILE *empty = std::tmpfile();
    RawFrameReader none(empty, "empty", size);
    Expected<bool> end = none.Next(frame);
    ASSERT_TRUE(end.ok());
    EXPECT_FALSE(*end);
    std::fclose(empty);
}

}  // namespace
