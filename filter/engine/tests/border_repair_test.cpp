#include "border_repair.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "border_reference.h"
#include "kernels.h"

namespace {

using namespace kantora;

constexpr uint32_t kGuard = 0xDEADBEEF;

// A frame inside a larger buffer: a guard row below and above and guard pixels after every
// row, so that any write outside the frame shows. A flipped frame is stored top-down and
// handed over the way hosts hand such buffers: the last row first, with a negative pitch.
struct TestFrame {
    int32_t width, height, padding;
    bool flipped;
    std::vector<uint32_t> buffer;

    TestFrame(int32_t w, int32_t h, int32_t pad = 3, bool flip = false)
        : width(w),
          height(h),
          padding(pad),
          flipped(flip),
          buffer(size_t(std::max(w, 0) + pad) * size_t(std::max(h, 0) + 2), kGuard) {}

    ptrdiff_t stride() const { return width + padding; }
    ptrdiff_t step() const { return flipped ? -stride() : stride(); }  // memory row to the next
    ptrdiff_t pitch() const { return step() * ptrdiff_t(sizeof(uint32_t)); }
    uint32_t *data() { return buffer.data() + stride() * (flipped ? height : 1); }
    const uint32_t *data() const { return buffer.data() + stride() * (flipped ? height : 1); }
    // Memory row y: row 0 is the picture's bottom row.
    uint32_t &at(int32_t x, int32_t y) { return data()[y * step() + x]; }
    uint32_t at(int32_t x, int32_t y) const { return data()[y * step() + x]; }
    // Row p from the top (1 is the top row).
    uint32_t fromTop(int32_t x, int32_t p) const { return at(x, height - p); }

    bool GuardsIntact() const {
        for (size_t i = 0; i < buffer.size(); ++i) {
            const ptrdiff_t row = ptrdiff_t(i) / stride() - 1, col = ptrdiff_t(i) % stride();
            const bool inside = row >= 0 && row < height && col < width;
            if (!inside && buffer[i] != kGuard)
                return false;
        }
        return true;
    }
};

// The same picture with the other pitch sign.
TestFrame Flipped(const TestFrame &f) {
    TestFrame g(f.width, f.height, f.padding, !f.flipped);
    for (int32_t y = 0; y < f.height; ++y)
        for (int32_t x = 0; x < f.width; ++x)
            g.at(x, y) = f.at(x, y);
    return g;
}

TestFrame RandomFrame(std::mt19937 &rng, int32_t w, int32_t h, int32_t pad = 3) {
    TestFrame f(w, h, pad);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            f.at(x, y) = rng();
    return f;
}

BorderSettings NoBands() {
    BorderSettings s;
    s.preview = nullptr;
    ResetBorderSettings(s);
    return s;
}

void SetEdge(BorderSettings &s, Side side, int32_t black, int32_t smear, int32_t stretch,
             int32_t fade) {
    s.blackRegion[side] = black;
    s.smearRegion[side] = smear;
    s.stretchFactor[side] = stretch;
    s.fadeRegion[side] = fade;
}

// Runs the filter into a destination with its own pitch and checks nothing outside was hit.
TestFrame Repaired(const TestFrame &src, const BorderSettings &s) {
    TestFrame dst(src.width, src.height, src.padding + 2, src.flipped);
    ProcessFrame(src.data(), src.pitch(), dst.data(), dst.pitch(), src.width, src.height, s);
    EXPECT_TRUE(dst.GuardsIntact());
    return dst;
}

TestFrame ReferenceRepaired(const TestFrame &src, const BorderSettings &s) {
    TestFrame dst(src.width, src.height, src.padding + 2);
    border_reference::ProcessFrame(src.data(), src.pitch(), dst.data(), dst.pitch(), src.width,
                                   src.height, s);
    return dst;
}

// Each channel times num / den, truncated; bits 24-31 cleared.
uint32_t Faded(uint32_t v, uint32_t num, uint32_t den) {
    return (((v >> 16) & 0xFF) * num / den) << 16 | (((v >> 8) & 0xFF) * num / den) << 8 |
           ((v & 0xFF) * num / den);
}

// A frame transposed, so that column tests can reuse row expectations: column x of the
// result is row x of the input, counted from the bottom.
TestFrame Transposed(const TestFrame &f) {
    TestFrame t(f.height, f.width, f.padding);
    for (int32_t y = 0; y < f.height; ++y)
        for (int32_t x = 0; x < f.width; ++x)
            t.at(y, x) = f.at(x, y);
    return t;
}

void ExpectSamePixels(const TestFrame &actual, const TestFrame &expected) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    for (int32_t y = 0; y < actual.height; ++y)
        for (int32_t x = 0; x < actual.width; ++x)
            ASSERT_EQ(actual.at(x, y), expected.at(x, y)) << "at x=" << x << " row=" << y;
}

// Top and bottom settings run on a frame must match the right and left settings run on its
// transpose: right mirrors top (the top row is the last in memory, as the right column is the
// last in a row), left mirrors bottom.
void ExpectSidesMirrorTopBottom(const TestFrame &src, const BorderSettings &topBottom) {
    BorderSettings sides = NoBands();
    sides.borderColour = topBottom.borderColour;
    SetEdge(sides, Right, topBottom.blackRegion[Top], topBottom.smearRegion[Top],
            topBottom.stretchFactor[Top], topBottom.fadeRegion[Top]);
    SetEdge(sides, Left, topBottom.blackRegion[Bottom], topBottom.smearRegion[Bottom],
            topBottom.stretchFactor[Bottom], topBottom.fadeRegion[Bottom]);
    ExpectSamePixels(Repaired(Transposed(src), sides), Transposed(Repaired(src, topBottom)));
}

TEST(BorderProcess, NoBandsCopyEveryBitWhateverOrderAndColour) {
    std::mt19937 rng(1);
    const TestFrame src = RandomFrame(rng, 13, 9, 2);
    for (bool topBottomFirst : {true, false}) {
        BorderSettings s = NoBands();
        s.processTopBottomFirst = topBottomFirst;
        s.borderColour = 0xFF123456;
        ExpectSamePixels(Repaired(src, s), src);
    }
}

TEST(BorderProcess, BlackBandIsBorderColourWordAndNothingElse) {
    std::mt19937 rng(2);
    const TestFrame src = RandomFrame(rng, 7, 6);
    BorderSettings s = NoBands();
    s.borderColour = 0xAB102030;
    s.blackRegion[Top] = 2;
    const TestFrame dst = Repaired(src, s);
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x)
            EXPECT_EQ(dst.at(x, y), y >= src.height - 2 ? s.borderColour : src.at(x, y));

    for (Side side : {Top, Bottom, Left, Right}) {
        BorderSettings all = NoBands();
        all.borderColour = 0x00FEDCBA;
        all.blackRegion[side] = (side == Left || side == Right ? src.width : src.height) + 4;
        TestFrame painted = Repaired(src, all);
        for (int32_t y = 0; y < src.height; ++y)
            for (int32_t x = 0; x < src.width; ++x)
                ASSERT_EQ(painted.at(x, y), all.borderColour) << "side " << side;
    }
}

TEST(BorderProcess, BandsThatHoldNoLineChangeNothingBeyondBlack) {
    std::mt19937 rng(3);
    const TestFrame src = RandomFrame(rng, 12, 12);
    BorderSettings s = NoBands();
    // Top: F <= B + 1 and S + T <= B + 1. Bottom: F <= B and S + T <= B.
    SetEdge(s, Top, 3, 1, 3, 4);
    SetEdge(s, Bottom, 3, 1, 2, 3);
    const TestFrame dst = Repaired(src, s);
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            const bool black = y < 3 || y >= src.height - 3;
            EXPECT_EQ(dst.at(x, y), black ? s.borderColour : src.at(x, y));
        }
    ExpectSidesMirrorTopBottom(src, s);
}

TEST(BorderProcess, SmearWithNoDepthReadsEachLineItself) {
    std::mt19937 rng(4);
    const TestFrame src = RandomFrame(rng, 11, 10);
    for (int32_t stretch : {0, 1, 2, 5, 9, 30}) {
        BorderSettings s = NoBands();
        for (Side side : {Top, Bottom, Left, Right})
            SetEdge(s, side, 0, 0, stretch, 0);
        ExpectSamePixels(Repaired(src, s), src);
    }
}

TEST(BorderProcess, FadeScalesChannelsAndClearsHighBits) {
    TestFrame src(5, 8);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 5; ++x)
            src.at(x, y) = 0xFF646464;  // every channel 100
    const uint32_t scaled[] = {0x00191919, 0x00323232, 0x004B4B4B};

    BorderSettings top = NoBands();
    top.fadeRegion[Top] = 4;
    TestFrame dst = Repaired(src, top);
    for (int32_t p = 1; p <= 8; ++p)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(dst.fromTop(x, p), p <= 3 ? scaled[p - 1] : 0xFF646464u) << "p=" << p;

    BorderSettings bottom = NoBands();
    bottom.fadeRegion[Bottom] = 4;
    dst = Repaired(src, bottom);
    for (int32_t o = 0; o < 8; ++o)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(dst.at(x, o), o == 0   ? 0u
                                    : o <= 3 ? scaled[o - 1]
                                             : 0xFF646464u)
                << "o=" << o;

    BorderSettings both = NoBands();
    both.fadeRegion[Top] = both.fadeRegion[Bottom] = 4;
    ExpectSidesMirrorTopBottom(src, both);
}

// Every weight num / den with den up to 300 (both ways of fading: exact multipliers up to
// 256, tables beyond), on every channel value: the truncated quotient.
TEST(BorderProcess, FadeIsExactForEveryWeightAndChannel) {
    for (int32_t den = 2; den <= 300; ++den) {
        TestFrame src(256, den);
        for (int32_t y = 0; y < den; ++y)
            for (int32_t c = 0; c < 256; ++c)
                src.at(c, y) =
                    0xFF000000u | uint32_t(c) << 16 | uint32_t(255 - c) << 8 | uint32_t(c ^ 0x5A);
        BorderSettings s = NoBands();
        s.fadeRegion[Top] = den;
        const TestFrame dst = Repaired(src, s);
        for (int32_t p = 1; p < den; ++p)
            for (int32_t c = 0; c < 256; ++c)
                ASSERT_EQ(dst.fromTop(c, p), Faded(src.fromTop(c, p), uint32_t(p), uint32_t(den)))
                    << "weight " << p << "/" << den << " channel " << c;
    }
}

// Every pixel distinct in every channel and in its high bits.
TestFrame PatternFrame(int32_t w, int32_t h) {
    TestFrame f(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            f.at(x, y) = uint32_t(0x11 * (y + 1)) << 24 | uint32_t(250 - 13 * y) << 16 |
                         uint32_t(40 + 9 * x + 7 * y) << 8 | uint32_t(3 + 17 * x);
    return f;
}

TEST(BorderProcess, SmearAndFadeTogetherFollowTheBandRules) {
    const TestFrame src = PatternFrame(6, 14);  // the two edges never meet
    BorderSettings s = NoBands();
    s.borderColour = 0x80C0FFEE;
    SetEdge(s, Top, 1, 3, 3, 4);
    SetEdge(s, Bottom, 1, 3, 3, 4);
    const TestFrame dst = Repaired(src, s);
    for (int32_t x = 0; x < src.width; ++x) {
        auto top = [&](int32_t p) { return src.fromTop(x, p); };
        EXPECT_EQ(dst.fromTop(x, 1), s.borderColour);
        EXPECT_EQ(dst.fromTop(x, 2), Faded(top(3), 1, 3));
        EXPECT_EQ(dst.fromTop(x, 3), Faded(top(4), 2, 3));
        EXPECT_EQ(dst.fromTop(x, 4), top(5));
        EXPECT_EQ(dst.fromTop(x, 5), top(6));
        EXPECT_EQ(dst.fromTop(x, 6), top(6));

        EXPECT_EQ(dst.at(x, 0), s.borderColour);
        EXPECT_EQ(dst.at(x, 1), 0u);  // offset B: offset 3 faded by 0
        EXPECT_EQ(dst.at(x, 2), Faded(src.at(x, 4), 1, 3));
        EXPECT_EQ(dst.at(x, 3), Faded(src.at(x, 5), 2, 3));
        EXPECT_EQ(dst.at(x, 4), src.at(x, 5));
        EXPECT_EQ(dst.at(x, 5), src.at(x, 6));
    }
    ExpectSidesMirrorTopBottom(src, s);
}

TEST(BorderProcess, SmearReadsLinesTheSweepAlreadyWrote) {
    const TestFrame src = PatternFrame(4, 10);
    BorderSettings s = NoBands();
    s.borderColour = 0x00ABCDEF;
    SetEdge(s, Top, 3, 1, 5, 0);
    const TestFrame dst = Repaired(src, s);
    for (int32_t x = 0; x < src.width; ++x) {
        for (int32_t p = 1; p <= 4; ++p)
            EXPECT_EQ(dst.fromTop(x, p), s.borderColour) << "p=" << p;
        for (int32_t p = 5; p <= 10; ++p)
            EXPECT_EQ(dst.fromTop(x, p), src.fromTop(x, p)) << "p=" << p;
    }
    ExpectSidesMirrorTopBottom(src, s);
}

TEST(BorderProcess, PassOrderDecidesCornerFadedTwice) {
    TestFrame src(4, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            src.at(x, y) = 0x00030303;
    BorderSettings s = NoBands();
    s.fadeRegion[Top] = 3;
    s.fadeRegion[Right] = 2;
    s.processTopBottomFirst = true;
    EXPECT_EQ(Repaired(src, s).fromTop(3, 2), 0x00010101u);
    s.processTopBottomFirst = false;
    EXPECT_EQ(Repaired(src, s).fromTop(3, 2), 0x00000000u);
}

TEST(BorderProcess, LeftSweepSmearsWhatTheRightSweepLeft) {
    const TestFrame src = PatternFrame(8, 3);
    BorderSettings s = NoBands();
    SetEdge(s, Right, 0, 5, 0, 0);  // columns 7..4 take column 3
    SetEdge(s, Left, 0, 4, 0, 0);   // columns 0..3 take column 4, after the right sweep
    for (bool topBottomFirst : {true, false}) {
        s.processTopBottomFirst = topBottomFirst;
        const TestFrame dst = Repaired(src, s);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 8; ++x)
                EXPECT_EQ(dst.at(x, y), src.at(3, y)) << "x=" << x << " y=" << y;
    }
}

// The line just inside the bottom or left black band (the edge line itself without one) is
// smeared like the lines beyond it and faded with weight 0, so no damaged line stays between
// the black band and the repair.
TEST(BorderProcess, EdgeLineAtOffsetBJoinsSmearAndFade) {
    const TestFrame src = PatternFrame(5, 12);
    struct Case {
        int32_t black, smear, stretch, fade;
        int32_t source;  // the offset line B takes: S + (T + 1) * B / (S + T); -1: faded by 0
    } cases[] = {
        {0, 4, 2, 0, 4},   // smear only: the edge row takes offset S
        {2, 6, 2, 0, 6},   // 6 + 3 * 2 / 8
        {3, 2, 6, 0, 4},   // 2 + 7 * 3 / 8
        {0, 4, 2, 5, -1},  // smeared, then faded by 0
        {2, 0, 0, 5, -1},  // fade only
    };
    for (const Case &c : cases) {
        BorderSettings s = NoBands();
        SetEdge(s, Bottom, c.black, c.smear, c.stretch, c.fade);
        const TestFrame dst = Repaired(src, s);
        for (int32_t x = 0; x < src.width; ++x)
            EXPECT_EQ(dst.at(x, c.black), c.source < 0 ? 0u : src.at(x, c.source))
                << "B=" << c.black << " S=" << c.smear << " T=" << c.stretch << " F=" << c.fade;
        ExpectSidesMirrorTopBottom(src, s);
    }
}

TEST(BorderProcess, FrameWithoutRowsOrColumnsIsLeftAlone) {
    std::mt19937 rng(5);
    const TestFrame src = RandomFrame(rng, 4, 4);
    BorderSettings s = NoBands();
    SetEdge(s, Top, 2, 1, 1, 3);
    SetEdge(s, Left, 2, 1, 1, 3);
    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {0, 0}, {-3, 4}, {4, -1}, {INT_MIN, INT_MIN}}) {
        TestFrame dst(4, 4);
        ProcessFrame(src.data(), src.pitch(), dst.data(), dst.pitch(), w, h, s);
        EXPECT_TRUE(std::all_of(dst.buffer.begin(), dst.buffer.end(),
                                [](uint32_t v) { return v == kGuard; }));
    }
}

TEST(BorderProcess, SinglePixelFrame) {
    TestFrame src(1, 1);
    src.at(0, 0) = 0xFF808080;
    BorderSettings s = NoBands();
    EXPECT_EQ(Repaired(src, s).at(0, 0), 0xFF808080u);
    s.fadeRegion[Top] = 2;  // the only row is position 1: weight 1/2
    EXPECT_EQ(Repaired(src, s).at(0, 0), 0x00404040u);
    s = NoBands();
    s.smearRegion[Left] = 5;  // every source clamped to the only column
    s.stretchFactor[Right] = 7;
    s.smearRegion[Right] = 3;
    EXPECT_EQ(Repaired(src, s).at(0, 0), 0xFF808080u);
    s.fadeRegion[Bottom] = 2;  // the only row is offset 0 = B: weight 0
    EXPECT_EQ(Repaired(src, s).at(0, 0), 0u);
    s.fadeRegion[Bottom] = 0;
    s.borderColour = 0x01020304;
    s.blackRegion[Left] = 1;
    EXPECT_EQ(Repaired(src, s).at(0, 0), 0x01020304u);
}

TEST(BorderProcess, SmearSourceBeyondFrameIsClampedToTheNearestEdgeLine) {
    const TestFrame src = PatternFrame(3, 4);
    BorderSettings s = NoBands();
    SetEdge(s, Top, 0, 6, 0, 0);  // every source at position 6, clamped to the bottom row
    TestFrame dst = Repaired(src, s);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(dst.at(x, y), src.at(x, 0));

    s = NoBands();
    SetEdge(s, Bottom, 0, 6, 0, 0);  // sources at offset 6, clamped to the top row
    dst = Repaired(src, s);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(dst.at(x, y), src.at(x, 3));

    s = NoBands();
    SetEdge(s, Top, 0, -10, 12, 0);  // source -10 + 13 * 1 / 2 = -4, clamped to the top row
    ExpectSamePixels(Repaired(src, s), src);
}

TEST(BorderProcess, NegativeSmearQuotientTruncatesTowardZero) {
    const TestFrame src = PatternFrame(3, 8);
    BorderSettings s = NoBands();
    SetEdge(s, Bottom, 0, 5, -2, 0);  // offsets 1, 2: 5 + (-1 * o) / 3 = 5, not 4
    const TestFrame dst = Repaired(src, s);
    for (int32_t x = 0; x < 3; ++x) {
        EXPECT_EQ(dst.at(x, 1), src.at(x, 5));
        EXPECT_EQ(dst.at(x, 2), src.at(x, 5));
        EXPECT_EQ(dst.at(x, 3), src.at(x, 3));
    }
}

TEST(BorderProcess, ExtremeSettingsStayInsideTheFrameAndMatchTheReference) {
    const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -2,       -1, 0, 1,
                                3,         INT32_MAX - 1, INT32_MAX};
    std::mt19937 rng(6);
    const TestFrame src = RandomFrame(rng, 5, 4);
    for (Side side : {Top, Bottom, Left, Right})
        for (int32_t b : extremes)
            for (int32_t sm : extremes)
                for (int32_t t : extremes)
                    for (int32_t f : extremes) {
                        BorderSettings s = NoBands();
                        s.borderColour = 0x00FF00FF;
                        SetEdge(s, side, b, sm, t, f);
                        const TestFrame dst = Repaired(src, s);
                        ExpectSamePixels(dst, ReferenceRepaired(src, s));
                        if (HasFatalFailure())
                            FAIL() << "side " << side << " B=" << b << " S=" << sm << " T=" << t
                                   << " F=" << f;
                    }
}

int32_t RandomValue(std::mt19937 &rng, int32_t size) {
    const uint32_t kind = rng() % 20;
    if (kind == 0)
        return -int32_t(rng() % 6);
    if (kind == 1) {
        const int32_t extremes[] = {INT32_MIN, INT32_MAX, INT32_MAX - 1, INT32_MIN + 1};
        return extremes[rng() % 4];
    }
    if (kind <= 4)
        return int32_t(rng() % 4);
    return int32_t(rng() % uint32_t(size + 4));
}

// Every random frame and setting in both pass orders, with both pitch signs and in place: the
// same picture as the plain sweeps.
TEST(BorderProcess, MatchesPlainPerPixelSweepsOnRandomFramesAndSettings) {
    std::mt19937 rng(20240611);
    for (int iteration = 0; iteration < 2000; ++iteration) {
        // Now and then a frame wide and tall enough for dialog-range bands on every edge.
        const int32_t size = iteration % 16 == 0 ? 150 : 40;
        const int32_t w = 1 + int32_t(rng() % size), h = 1 + int32_t(rng() % size);
        const TestFrame src = RandomFrame(rng, w, h, int32_t(rng() % 4));
        const TestFrame flipped = Flipped(src);
        BorderSettings s = NoBands();
        s.borderColour = rng();
        for (Side side : {Top, Bottom, Left, Right}) {
            // Every other time bands that leave the middle of the frame alone.
            const int32_t extent = side == Left || side == Right ? w : h;
            const int32_t band = iteration % 2 == 0 ? extent / 3 : extent;
            SetEdge(s, side, RandomValue(rng, band), RandomValue(rng, band), RandomValue(rng, band),
                    RandomValue(rng, extent));
        }
        for (bool topBottomFirst : {true, false}) {
            s.processTopBottomFirst = topBottomFirst;
            const TestFrame expected = ReferenceRepaired(src, s);
            ExpectSamePixels(Repaired(src, s), expected);
            ExpectSamePixels(Repaired(flipped, s), expected);
            TestFrame inPlace = src;
            ProcessFrame(inPlace.data(), inPlace.pitch(), inPlace.data(), inPlace.pitch(), w, h, s);
            ExpectSamePixels(inPlace, expected);
            if (HasFatalFailure())
                FAIL() << "iteration " << iteration << " " << w << "x" << h
                       << (topBottomFirst ? " top and bottom first" : " sides first");
        }
    }
}

// Every table of pixel loops this processor can run (plain, SSE2, SSSE3, AVX2) gives the plain
// sweeps' picture, whichever table ProcessFrame took.
TEST(BorderProcess, EveryKernelTableGivesTheSameBits) {
    const unsigned have = ProcessorFeatures();
    const unsigned levels[] = {0, kFeatureSse2, kFeatureSse2 | kFeatureSsse3,
                               kFeatureSse2 | kFeatureSsse3 | kFeatureAvx2};
    std::mt19937 rng(20250302);
    for (const unsigned features : levels) {
        if ((features & have) != features)
            continue;
        BorderKernels kernels;
        InitBorderKernels(&kernels, features);
        for (int iteration = 0; iteration < 300; ++iteration) {
            const int32_t w = 1 + int32_t(rng() % 70), h = 1 + int32_t(rng() % 50);
            const TestFrame src = RandomFrame(rng, w, h, int32_t(rng() % 4));
            BorderSettings s = NoBands();
            s.borderColour = rng();
            s.processTopBottomFirst = iteration % 2 == 0;
            for (Side side : {Top, Bottom, Left, Right}) {
                const int32_t extent = side == Left || side == Right ? w : h;
                SetEdge(s, side, RandomValue(rng, extent / 3), RandomValue(rng, extent / 3),
                        RandomValue(rng, extent / 3), RandomValue(rng, extent));
            }
            TestFrame dst(w, h, src.padding + 2, iteration % 3 == 0);
            RepairFrameWith(kernels, src.data(), src.pitch(), dst.data(), dst.pitch(), w, h, s);
            ExpectSamePixels(dst, ReferenceRepaired(src, s));
            if (HasFatalFailure())
                FAIL() << "features " << features << ", iteration " << iteration;
        }
    }
}

}  // namespace
