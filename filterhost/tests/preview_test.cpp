// filterhost --preview end to end: the picture read back, its after half checked against
// --image run on its before half, its ticks against the lines the settings change.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host_process.h"
#include "png_files.h"
#include "test_card.h"

namespace filterhost {
namespace {

const std::string kPlugin = KANTORA_PLUGIN_PATH;

// Black bands 3 rows deep at the top and 5 columns wide on the right (script order: top,
// bottom, right, left; smear, black, fade, stretch).
const std::string kAsymmetric = "Config(0, 3, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0)";

HostBitmap Load(const std::string &path) {
    Expected<HostBitmap> picture = ReadPng(path);
    EXPECT_TRUE(picture.ok()) << (picture.ok() ? "" : picture.failure().message);
    return picture.ok() ? std::move(*picture) : HostBitmap(1, 1);
}

uint32_t At(const HostBitmap &picture, int32_t x, int32_t y) {
    uint32_t pixel;
    std::memcpy(&pixel, picture.PictureRowBytes(y) + size_t(x) * 4, 4);
    return pixel & 0xFFFFFF;
}

HostBitmap Cut(const HostBitmap &picture, int32_t x0, int32_t y0, int32_t width, int32_t height) {
    HostBitmap part(width, height);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(part.PictureRowBytes(y), picture.PictureRowBytes(y0 + y) + size_t(x0) * 4,
                    size_t(width) * 4);
    return part;
}

bool SamePixels(const HostBitmap &a, const HostBitmap &b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x)
            if (At(a, x, y) != At(b, x, y))
                return false;
    return true;
}

// The test card, its top rows at another level in each frame: black top rows change frame 2
// most.
std::string CardClip(const HostBitmap &card, std::vector<HostBitmap> &frames) {
    const uint8_t levels[] = {0, 60, 250, 120, 30};
    std::string bytes;
    for (uint8_t level : levels) {
        HostBitmap frame(card, BitmapLayout{});
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < frame.Width() * 4; ++x)
                frame.PictureRowBytes(y)[x] = x % 4 == 3 ? 0 : level;
        std::string raw(size_t(frame.Width()) * frame.Height() * 4, '\0');
        frame.StoreTopDown(reinterpret_cast<uint8_t *>(raw.data()));
        bytes += raw;
        frames.push_back(std::move(frame));
    }
    return bytes;
}

// A picture and a clip, with the settings given and with the suggested ones. Every preview's
// after half is what --image makes of its before half; the ticks mark exactly the rows and
// columns the given settings change; the suggestion's preview is the one of its printed line;
// the clip shows the frame the settings change most.
TEST(Preview, ShowsTheFilterOutputBesideTheFrameWithTheChangedLinesTicked) {
    const std::string dir = WorkFolder("preview") + "/";
    const HostBitmap card = MakeTestCard();
    ASSERT_TRUE(WritePng(dir + "card.png", card).ok());
    std::vector<HostBitmap> frames;
    WriteFile(dir + "clip.raw", CardClip(card, frames));
    const int32_t w = kTestCardWidth, h = kTestCardHeight;
    const std::vector<std::string> picture = {dir + "card.png"};
    const std::vector<std::string> clip = {"--size", "320x240", dir + "clip.raw"};

    struct Case {
        const char *name;
        std::vector<std::string> input;
        bool suggest;
        const HostBitmap *shown;  // the frame the before half must be
    } cases[] = {
        {"picture, --config", picture, false, &card},
        {"clip, --config", clip, false, &frames[2]},
        {"picture, --suggest", picture, true, &card},
        {"clip, --suggest", clip, true, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = {"--plugin", kPlugin};
        std::string config = kAsymmetric;
        if (c.suggest) {
            arguments.insert(arguments.end(), {"--suggest", c.input.back(), "--quiet"});
            arguments.insert(arguments.end(), c.input.begin(), c.input.end() - 1);
        } else {
            arguments.insert(arguments.end(), {"--config", config});
            arguments.insert(arguments.end(), c.input.begin(), c.input.end());
        }
        arguments.insert(arguments.end(), {"--preview", dir + "preview.png"});
        const HostRun run = RunFilterHost(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        if (c.suggest) {
            config = run.out.substr(0, run.out.find('\n'));
            ASSERT_EQ(config.rfind("Config(", 0), 0u) << run.out;
        }
        const HostBitmap preview = Load(dir + "preview.png");
        const int32_t m = (preview.Width() - 2 * w) / 3;
        ASSERT_GT(m, 0);
        ASSERT_EQ(preview.Width(), 3 * m + 2 * w);
        ASSERT_EQ(preview.Height(), 2 * m + h);

        const HostBitmap before = Cut(preview, m, m, w, h);
        if (c.shown != nullptr) {
            EXPECT_TRUE(SamePixels(before, *c.shown));
        }
        ASSERT_TRUE(WritePng(dir + "before.png", before).ok());
        const HostRun image = RunFilterHost({"--plugin", kPlugin, "--config", config, "--image",
                                             dir + "before.png", dir + "after.png"});
        ASSERT_EQ(image.exitCode, 0) << image.err;
        EXPECT_TRUE(SamePixels(Cut(preview, 2 * m + w, m, w, h), Load(dir + "after.png")));

        if (c.suggest) {
            std::vector<std::string> again = {"--plugin", kPlugin, "--config", config};
            again.insert(again.end(), c.input.begin(), c.input.end());
            again.insert(again.end(), {"--preview", dir + "again.png"});
            ASSERT_EQ(RunFilterHost(again).exitCode, 0);
            EXPECT_TRUE(SamePixels(preview, Load(dir + "again.png")));
            continue;
        }
        // A row or column is ticked where its stretch of margin is not all margin.
        const uint32_t margin = At(preview, 0, 0);
        auto ticked = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
            for (int32_t y = y0; y < y1; ++y)
                for (int32_t x = x0; x < x1; ++x)
                    if (At(preview, x, y) != margin)
                        return true;
            return false;
        };
        for (int32_t y = 0; y < h; ++y)
            EXPECT_EQ(ticked(0, m + y, m, m + y + 1), y < 3) << "row " << y;
        for (int32_t x = 0; x < 2 * w + m; ++x)
            EXPECT_EQ(ticked(m + x, 0, m + x + 1, m), x >= w - 5 && x < w) << "column " << x;
    }
}

// Inputs that cannot be read and pictures that cannot be written fail as in the other modes;
// the input is never written over.
TEST(Preview, FailsLikeTheOtherModes) {
    const std::string dir = WorkFolder("preview-failures") + "/";
    ASSERT_TRUE(WritePng(dir + "card.png", MakeTestCard()).ok());
    const std::string card = ReadFile(dir + "card.png");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{dir + "none.png", "--preview", dir + "p.png"}, dir + "none.png: No such file"},
        {{dir + "card.png", "--preview", dir + "no/p.png"},
         "cannot write image " + dir + "no/p.png: No such file"},
        {{dir + "card.png", "--preview", dir + "card.png"}, "writing it would destroy the input"},
    };
    for (const Case &c : cases) {
        for (bool suggest : {false, true}) {
            std::vector<std::string> arguments = {"--plugin", kPlugin};
            if (suggest)
                arguments.insert(arguments.end(), {"--quiet", "--suggest"});
            arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
            const HostRun run = RunFilterHost(arguments);
            EXPECT_EQ(run.exitCode, 1) << run.err;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        }
    }
    EXPECT_TRUE(ReadFile(dir + "card.png") == card);
}

}  // namespace
}  // namespace filterhost
