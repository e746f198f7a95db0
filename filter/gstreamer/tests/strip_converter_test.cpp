// The strips converted back into a frame through the sheet, where they lie side by side: each
// strip's samples come from its own pixels alone, whatever lies beside it, and are those that
// converting that strip without the others gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "picture_formats.h"
#include "strip_converter.h"

namespace kantora::gstreamer {
namespace {

void Scramble(BgrxCanvas &canvas, std::mt19937 &random) {
    for (int32_t y = 0; y < canvas.Height(); ++y)
        for (ptrdiff_t i = 0; i < canvas.Pitch(); ++i)
            canvas.Row(y)[i] = static_cast<uint8_t>(random());
}

// A frame of `info` whose bytes start as `fill`, with `strips` converted into it from `canvas`.
std::vector<uint8_t> ConvertedBack(const GstVideoInfo &info, const std::vector<Strip> &strips,
                                   BgrxCanvas &canvas, uint8_t fill) {
    std::vector<uint8_t> bytes(GST_VIDEO_INFO_SIZE(&info), fill);
    GstVideoFrame frame{};
    frame.info = info;
    for (guint p = 0; p < GST_VIDEO_INFO_N_PLANES(&info); ++p)
        frame.data[p] = bytes.data() + GST_VIDEO_INFO_PLANE_OFFSET(&info, p);
    StripConverter converter;
    EXPECT_TRUE(converter.Prepare(info, StripConverter::Direction::FromCanvas, strips, false));
    converter.FromCanvas(canvas, frame);
    return bytes;
}

TEST(StripConverterTest, EachStripKeepsItsOwnSamplesOnTheSheet) {
    gst_init(nullptr, nullptr);
    // Planar, semi-planar, packed and v210's blocks; chroma sited between samples and on them
    // (where the filter reads the pixel before); fields taken apart; an odd height, whose side
    // strips end in a row alone. (GStreamer 1.22 takes the siting from the height alone.)
    constexpr auto kOn = GST_VIDEO_CHROMA_SITE_H_COSITED, kBetween = GST_VIDEO_CHROMA_SITE_NONE;
    const struct {
        const char *caps;
        GstVideoChromaSite site;
    } cases[] = {
        {"format=I420,width=200,height=120", kOn},
        {"format=I420,width=200,height=120,interlace-mode=interleaved", kBetween},
        {"format=NV12,width=200,height=121", kOn},
        {"format=UYVY,width=200,height=120", kOn},
        {"format=v210,width=192,height=60", kOn},
        {"format=I420_10LE,width=200,height=120", kOn},
    };
    std::mt19937 random(7);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caps);
        GstCaps *caps = gst_caps_from_string((std::string("video/x-raw,") + c.caps).c_str());
        GstVideoInfo info;
        ASSERT_TRUE(gst_video_info_from_caps(&info, caps));
        gst_caps_unref(caps);
        info.chroma_site = c.site;
        const int32_t width = GST_VIDEO_INFO_WIDTH(&info), height = GST_VIDEO_INFO_HEIGHT(&info);
        const bool interlaced = GST_VIDEO_INFO_IS_INTERLACED(&info);
        // No bottom band: the side strips reach the last row.
        const std::vector<Strip> strips = EdgeStrips(LayoutOf(info, interlaced), {7, 0, 11, 9});
        BgrxCanvas canvas, beside;
        ASSERT_TRUE(canvas.Resize(width, height) && beside.Resize(width, height));
        Scramble(canvas, random);
        const std::vector<uint8_t> all = ConvertedBack(info, strips, canvas, 0);
        for (const Strip &strip : strips) {
            // The strip's samples: the bytes its own conversion writes over either fill.
            const std::vector<uint8_t> alone = ConvertedBack(info, {strip}, canvas, 0);
            const std::vector<uint8_t> aloneOverOnes = ConvertedBack(info, {strip}, canvas, 0xff);
            // The same strip, everything beside it different.
            Scramble(beside, random);
            for (int32_t r = 0; r < strip.rows; ++r) {
                const int32_t y = strip.y + r * strip.rowStep;
                std::copy_n(canvas.Row(y) + strip.x * 4, strip.width * 4,
                            beside.Row(y) + strip.x * 4);
            }
            const std::vector<uint8_t> withOthers = ConvertedBack(info, strips, beside, 0);
            size_t samples = 0, wrong = 0;
            for (size_t i = 0; i < alone.size(); ++i) {
                if (alone[i] != aloneOverOnes[i])
                    continue;
                ++samples;
                wrong += all[i] != alone[i] || withOthers[i] != alone[i];
            }
            EXPECT_GT(samples, 0u);
            EXPECT_EQ(wrong, 0u) << "strip at " << strip.x << "," << strip.y;
        }
    }
}

}  // namespace
}  // namespace kantora::gstreamer
