// The pixel aspect table, known answers as exact strings, the cases around
// them, and the number helpers (trunc, wrap-around, formatting).
#include "size_solver.h"
#include "solver_numbers.h"
#include "defaults_answer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace mensurio {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

uint64_t Bits(double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

// The dialog's defaults, changed field by field in each case.
struct Inputs {
    int32_t sw = 704, sh = 576, dw = 640, dh = 480, mw = 16, mh = 16;
    int32_t src = 0, dst = 6, fixed = 0, mode = 0;
    std::string Solve() const { return SolveSizes(sw, sh, dw, dh, mw, mh, src, dst, fixed, mode); }
};

TEST(PixelAspectTable, ExactBits) {
    const uint64_t expected[8] = {
        0x3FF1811811811811ull, 0x3FED2A2067B23A53ull, 0x3FF756CAC201756Cull, 0x3FF3716AEFCC26E2ull,
        0x3FFA41A41A41A41Aull, 0x3FF5DF984DC5ABBFull, 0x3FF0000000000000ull, 0x3FF1111111111111ull,
    };
    for (int32_t i = 0; i < 8; ++i)
        EXPECT_EQ(Bits(PixelAspectTable(i)), expected[i]) << i;
}

TEST(PixelAspectTable, ShortestDecimals) {
    EXPECT_EQ(PixelAspectTable(0), 1.094017094017094);
    EXPECT_EQ(PixelAspectTable(1), 0.911392405063291);
    EXPECT_EQ(PixelAspectTable(2), 1.4586894586894585);
    EXPECT_EQ(PixelAspectTable(3), 1.2151898734177213);
    EXPECT_EQ(PixelAspectTable(4), 1.641025641025641);
    EXPECT_EQ(PixelAspectTable(5), 1.3670886075949367);
    EXPECT_EQ(PixelAspectTable(6), 1.0);
    EXPECT_EQ(PixelAspectTable(7), 1.0666666666666667);
}

TEST(PixelAspectTable, OneUlpBelowNearestForTheFirstFour) {
    const double nearest[4] = {128.0 / 117.0, 72.0 / 79.0, 512.0 / 351.0, 96.0 / 79.0};
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(Bits(PixelAspectTable(i)) + 1, Bits(nearest[i])) << i;
    EXPECT_EQ(PixelAspectTable(4), 64.0 / 39.0);
    EXPECT_EQ(PixelAspectTable(5), 108.0 / 79.0);
    EXPECT_EQ(PixelAspectTable(7), 16.0 / 15.0);
}

TEST(PixelAspectTable, OutsideGivesOne) {
    for (int32_t p : {-1, 8, 9, 100, kMin, kMax})
        EXPECT_EQ(PixelAspectTable(p), 1.0) << p;
}

TEST(PixelAspectTable, Captions) {
    EXPECT_STREQ(PixelAspectCaption(0), "Standard PAL");
    EXPECT_STREQ(PixelAspectCaption(6), "Monitor (square pixels)");
    EXPECT_STREQ(PixelAspectCaption(7), "Monitor (1280 x 1024)");
    EXPECT_EQ(PixelAspectCaption(8), nullptr);
    EXPECT_EQ(PixelAspectCaption(-1), nullptr);
}

// --- known answers ------------------------------------------------------------------------

TEST(KnownAnswers, Defaults) { EXPECT_EQ(Inputs{}.Solve(), kDefaultsAnswer); }

TEST(KnownAnswers, HeightFixedReduce) {
    Inputs in;
    in.fixed = 1;
    EXPECT_EQ(in.Solve(), "Solution 1: (adjust source width)\n"
                          "Clip or pad source size to 702x576 and resize to 640x480\n"
                          "- new source size is 99.72% of desired size\n"
                          "- resized to 75.97% of new source size\n"
                          "\n"
                          "Solution 2: (adjust source height)\n"
                          "Clip or pad source size to 704x564 and resize to 656x480\n"
                          "- new source size is 97.92% of desired size\n"
                          "- resized to 79.30% of new source size\n");
}

TEST(KnownAnswers, HeightFixedExpand) {
    Inputs in;
    in.fixed = 1;
    in.mode = 1;
    EXPECT_EQ(in.Solve(), "Solution 1: (adjust source height)\n"
                          "Clip or pad source size to 704x578 and resize to 640x480\n"
                          "- new source size is 100.35% of desired size\n"
                          "- resized to 75.50% of new source size\n"
                          "\n"
                          "Solution 2: (adjust source width)\n"
                          "Clip or pad source size to 720x576 and resize to 656x480\n"
                          "- new source size is 102.27% of desired size\n"
                          "- resized to 75.93% of new source size\n");
}

TEST(KnownAnswers, NoChangeNeeded) {
    Inputs in;
    in.sw = 720;
    in.dw = 720;
    in.dst = 0;
    EXPECT_EQ(in.Solve(), "Solution:\n"
                          "Clip or pad source size to 720x576 and resize to 720x576\n"
                          "- new source size is 100.00% of desired size\n"
                          "- resized to 100.00% of new source size\n");
}

TEST(KnownAnswers, SecondLeavesSourceUnchangedAndReplacesFirst) {
    Inputs in;
    in.dst = 0;
    in.mh = 4;
    EXPECT_EQ(in.Solve(), "Solution:\n"
                          "Clip or pad source size to 704x576 and resize to 640x524\n"
                          "- new source size is 100.00% of desired size\n"
                          "- resized to 82.70% of new source size\n");
}

TEST(KnownAnswers, FirstAreaZeroReplacedBySecond) {
    Inputs in;
    in.dst = 0;
    in.dw = 16;
    EXPECT_EQ(in.Solve(), "Solution: (adjust source width)\n"
                          "Clip or pad source size to 576x576 and resize to 16x16\n"
                          "- new source size is 81.82% of desired size\n"
                          "- resized to 0.08% of new source size\n");
}

TEST(KnownAnswers, DivisionByZeroDropsSecond) {
    Inputs in;
    in.dst = 0;
    in.dw = 16;
    in.mode = 1;
    EXPECT_EQ(in.Solve(), "Solution: (adjust source height)\n"
                          "Clip or pad source size to 704x704 and resize to 16x16\n"
                          "- new source size is 122.22% of desired size\n"
                          "- resized to 0.05% of new source size\n");
}

TEST(KnownAnswers, EqualAreasListSecondFirst) {
    Inputs in;
    in.src = 7;
    in.dst = 1;
    in.dw = 480;
    in.mh = 32;
    EXPECT_EQ(in.Solve(), "Solution 1: (adjust source width)\n"
                          "Clip or pad source size to 671x576 and resize to 480x352\n"
                          "- new source size is 95.31% of desired size\n"
                          "- resized to 43.72% of new source size\n"
                          "\n"
                          "Solution 2: (adjust source height)\n"
                          "Clip or pad source size to 704x549 and resize to 480x320\n"
                          "- new source size is 95.31% of desired size\n"
                          "- resized to 39.74% of new source size\n");
}

// 706 and not 707: catches fused multiply-add and x87 extended precision alike.
TEST(KnownAnswers, TableValueOneUlpBelowGives706) {
    Inputs in;
    in.dst = 0;
    in.fixed = 1;
    in.dh = 512;
    in.mw = 4;
    in.mode = 1;
    EXPECT_EQ(in.Solve(), "Solution 1: (adjust source width)\n"
                          "Clip or pad source size to 706x576 and resize to 628x512\n"
                          "- new source size is 100.28% of desired size\n"
                          "- resized to 79.07% of new source size\n"
                          "\n"
                          "Solution 2: (adjust source height)\n"
                          "Clip or pad source size to 704x578 and resize to 624x512\n"
                          "- new source size is 100.35% of desired size\n"
                          "- resized to 78.52% of new source size\n");
}

// The step itself: with the table's value the exact 706.5 lands just below in double steps.
TEST(KnownAnswers, The706StepInDoubles) {
    volatile double ps = PixelAspectTable(0);
    volatile double t = 576.0 / ps;
    t = t * 628.0;
    t = t * ps;
    t = t / 512.0;
    EXPECT_LT(t, 706.5);
    EXPECT_EQ(Trunc(t + 0.5), 706);
    volatile double nearest = 128.0 / 117.0;
    volatile double u = 576.0 / nearest;
    u = u * 628.0;
    u = u * nearest;
    u = u / 512.0;
    EXPECT_EQ(Trunc(u + 0.5), 707);
}

// --- failure handling ---------------------------------------------------------------------

TEST(Validity, AnyZeroOfTheSixNumbers) {
    for (int field = 0; field < 6; ++field) {
        for (int32_t fixed : {0, 1}) {
            Inputs in;
            in.fixed = fixed;
            int32_t *f[6] = {&in.sw, &in.sh, &in.dw, &in.dh, &in.mw, &in.mh};
            *f[field] = 0;
            EXPECT_EQ(in.Solve(), "Incorrect values") << field << " " << fixed;
        }
    }
}

TEST(Validity, UnusedZeroStillIncorrect) {
    Inputs in;
    in.dh = 0;  // width fixed: the height is not used
    EXPECT_EQ(in.Solve(), "Incorrect values");
    Inputs in2;
    in2.mw = 0;
    EXPECT_EQ(in2.Solve(), "Incorrect values");
    EXPECT_EQ(std::string(kIncorrectValues), "Incorrect values");
}

// --- the cases around the examples ----------------------------------------------------------

TEST(Around, PositionsOutsideComputeWithOne) {
    Inputs square;
    square.src = 6;
    square.dst = 6;
    const std::string expected = square.Solve();
    for (int32_t src : {-1, 8, 1000, kMin, kMax}) {
        for (int32_t dst : {-1, 6, 9, kMin}) {
            Inputs in;
            in.src = src;
            in.dst = dst;
            EXPECT_EQ(in.Solve(), expected) << src << " " << dst;
        }
    }
    // e = 523.6: H1 = 512, N1 = 563; H2 = 528, N2 = 698; A1 = 396352 < A2 = 402048.
    EXPECT_EQ(expected, "Solution 1: (adjust source width)\n"
                        "Clip or pad source size to 698x576 and resize to 640x528\n"
                        "- new source size is 99.15% of desired size\n"
                        "- resized to 84.05% of new source size\n"
                        "\n"
                        "Solution 2: (adjust source height)\n"
                        "Clip or pad source size to 704x563 and resize to 640x512\n"
                        "- new source size is 97.74% of desired size\n"
                        "- resized to 82.67% of new source size\n");
}

TEST(Around, FixedSideOtherThanZeroFixesHeight) {
    Inputs height;
    height.fixed = 1;
    for (int32_t fixed : {-1, 2, kMin, kMax}) {
        Inputs in;
        in.fixed = fixed;
        EXPECT_EQ(in.Solve(), height.Solve()) << fixed;
    }
}

TEST(Around, OnlyOneMeansExpand) {
    Inputs reduce;
    for (int32_t mode : {-1, 2, kMin, kMax}) {
        Inputs in;
        in.mode = mode;
        EXPECT_EQ(in.Solve(), reduce.Solve()) << mode;
    }
    Inputs expand;
    expand.mode = 1;
    EXPECT_NE(expand.Solve(), reduce.Solve());
}

TEST(Around, NegativeSourceWidth) {
    // b < 0: e = -478.63..., H1 = trunc(-29.9) x 16 = -464, N1 = 558; H2 = -448 gives N2 = -751,
    // A2 < 0, so the first candidate stands alone. 96.875 is exact: ties go to even.
    Inputs in;
    in.sw = -704;
    EXPECT_EQ(in.Solve(), "Solution: (adjust source height)\n"
                          "Clip or pad source size to -704x558 and resize to 640x-464\n"
                          "- new source size is 96.88% of desired size\n"
                          "- resized to 75.59% of new source size\n");
}

TEST(Around, NegativeEverything) {
    // All six negated: the ratios are those of the defaults, but "+ 0.5 then toward zero"
    // rounds the negative sizes differently: N1 = trunc(-558.4 + 0.5) = -557 and
    // N2 = trunc(-702.0 + 0.5) = -701. A1 = 392128 < A2 = 403776, so the second comes first.
    Inputs in;
    in.sw = -704;
    in.sh = -576;
    in.dw = -640;
    in.dh = -480;
    in.mw = -16;
    in.mh = -16;
    EXPECT_EQ(in.Solve(), "Solution 1: (adjust source width)\n"
                          "Clip or pad source size to -701x-576 and resize to -640x-480\n"
                          "- new source size is 99.57% of desired size\n"
                          "- resized to 76.08% of new source size\n"
                          "\n"
                          "Solution 2: (adjust source height)\n"
                          "Clip or pad source size to -704x-557 and resize to -640x-464\n"
                          "- new source size is 96.70% of desired size\n"
                          "- resized to 75.73% of new source size\n");
}

TEST(Around, AreaProductWrapsAround) {
    // 70000 x 70000 = 4900000000 wraps to 605032704: P1 = 12.35%.
    Inputs in;
    in.sw = in.sh = in.dw = 70000;
    in.src = in.dst = 6;
    EXPECT_EQ(in.Solve(), "Solution:\n"
                          "Clip or pad source size to 70000x70000 and resize to 70000x70000\n"
                          "- new source size is 12.35% of desired size\n"
                          "- resized to 100.00% of new source size\n");
}

TEST(Around, HugeValuesTruncateToZeroOrWrap) {
    // e / MH is far beyond 2^63 only when the inputs are huge and the multiple tiny; trunc
    // gives 0 there and the solver still answers without undefined behaviour.
    const std::string s = SolveSizes(kMax, 1, kMax, kMax, 1, 1, 2, 4, 0, 1);
    EXPECT_EQ(s.rfind("Solution", 0), 0u) << s;
    EXPECT_EQ(s.back(), '\n');
}

TEST(Around, PercentageNotFinite) {
    // H1 = trunc(-2.74 / 3) x 3 = 0 and N1 = 0; N2 = 3 gives A2 = -9, so the first candidate
    // stands alone and P2 = (-0 / -3) / 0 is 0 / 0.
    EXPECT_EQ(SolveSizes(-3, -3, -3, 1, 1, 3, 0, 6, 0, 0),
              "Solution: (adjust source height)\n"
              "Clip or pad source size to -3x0 and resize to -3x0\n"
              "- new source size is 0.00% of desired size\n"
              "- resized to nan% of new source size\n");
    // The same with TH = -11: P2 = 44000 / -3 / 0.
    EXPECT_EQ(SolveSizes(-3, -2, -40, 1, 1, 11, 3, 6, 0, 0),
              "Solution: (adjust source height)\n"
              "Clip or pad source size to -3x0 and resize to -40x-11\n"
              "- new source size is 0.00% of desired size\n"
              "- resized to -inf% of new source size\n");
}

// --- number helpers -----------------------------------------------------------------------

TEST(Numbers, TruncTowardZero) {
    EXPECT_EQ(Trunc(0.0), 0);
    EXPECT_EQ(Trunc(-0.0), 0);
    EXPECT_EQ(Trunc(0.999), 0);
    EXPECT_EQ(Trunc(-0.999), 0);
    EXPECT_EQ(Trunc(706.4999999999999), 706);
    EXPECT_EQ(Trunc(-1.5), -1);
    EXPECT_EQ(Trunc(2147483647.9), kMax);
    EXPECT_EQ(Trunc(-2147483648.9), kMin);
}

TEST(Numbers, TruncKeepsLow32Bits) {
    EXPECT_EQ(Trunc(2147483648.0), kMin);
    EXPECT_EQ(Trunc(4294967296.0), 0);
    EXPECT_EQ(Trunc(4294967301.5), 5);
    EXPECT_EQ(Trunc(3e9), -1294967296);
    EXPECT_EQ(Trunc(-3e9), 1294967296);
    EXPECT_EQ(Trunc(-4294967297.0), -1);
    // The largest double below 2^63 is 0x7FFFFFFFFFFFFC00.
    EXPECT_EQ(Trunc(0x1.fffffffffffffp+62), -1024);
    EXPECT_EQ(Trunc(-0x1.fffffffffffffp+62), 1024);
}

TEST(Numbers, TruncOfHugeAndNotFinite) {
    EXPECT_EQ(Trunc(0x1p63), 0);
    EXPECT_EQ(Trunc(-0x1p63), 0);
    EXPECT_EQ(Trunc(1e300), 0);
    EXPECT_EQ(Trunc(-1e300), 0);
    EXPECT_EQ(Trunc(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(Trunc(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(Trunc(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(Trunc(-std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Numbers, WrapAround) {
    EXPECT_EQ(WrapAdd(kMax, 1), kMin);
    EXPECT_EQ(WrapAdd(kMin, -1), kMax);
    EXPECT_EQ(WrapSub(kMin, 1), kMax);
    EXPECT_EQ(WrapSub(0, kMin), kMin);
    EXPECT_EQ(WrapMul(65536, 65536), 0);
    EXPECT_EQ(WrapMul(65536, 32768), kMin);
    EXPECT_EQ(WrapMul(70000, 70000), 605032704);
    EXPECT_EQ(WrapMul(kMin, -1), kMin);
    EXPECT_EQ(WrapMul(-704, 558), -392832);
    EXPECT_EQ(WrapMul(kMax, kMax), 1);
}

TEST(Numbers, FormatTwoDecimals) {
    EXPECT_EQ(FormatFixed2(0.0), "0.00");
    EXPECT_EQ(FormatFixed2(-0.0), "-0.00");
    EXPECT_EQ(FormatFixed2(99.7159), "99.72");
    EXPECT_EQ(FormatFixed2(0.004999), "0.00");
    EXPECT_EQ(FormatFixed2(-12.345678), "-12.35");
    EXPECT_EQ(FormatFixed2(1e20), "100000000000000000000.00");
    EXPECT_EQ(FormatFixed2(123456789012.0), "123456789012.00");
    EXPECT_EQ(FormatFixed2(-std::numeric_limits<double>::max()).size(), 313u);
    // Exact halves (the formatting facility's rule: to even on the exact binary value).
    EXPECT_EQ(FormatFixed2(96.875), "96.88");
    EXPECT_EQ(FormatFixed2(0.125), "0.12");
    EXPECT_EQ(FormatFixed2(103.125), "103.12");
    EXPECT_EQ(FormatFixed2(0.375), "0.38");
}

TEST(Numbers, FormatNotFinite) {
    EXPECT_EQ(FormatFixed2(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(FormatFixed2(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(FormatFixed2(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatFixed2(-std::numeric_limits<double>::quiet_NaN()), "nan");
}

}  // namespace
}  // namespace mensurio
