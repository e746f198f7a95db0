// The dialog's pure helpers: reading typed numbers, and placing the icon of the minimised window.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "icon_origin.h"
#include "text_number.h"

namespace mensurio {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(AtoiSaturating, ReadsTheNumberThatBeginsTheText) {
    EXPECT_EQ(AtoiSaturating("704"), 704);
    EXPECT_EQ(AtoiSaturating("  \t\n 42"), 42);
    EXPECT_EQ(AtoiSaturating("+17"), 17);
    EXPECT_EQ(AtoiSaturating("-17"), -17);
    EXPECT_EQ(AtoiSaturating("12ab"), 12);
    EXPECT_EQ(AtoiSaturating("0012"), 12);
    EXPECT_EQ(AtoiSaturating("3 4"), 3);
}

TEST(AtoiSaturating, GivesZeroWhenNoDigitLeads) {
    EXPECT_EQ(AtoiSaturating(""), 0);
    EXPECT_EQ(AtoiSaturating("ab12"), 0);
    EXPECT_EQ(AtoiSaturating("-"), 0);
    EXPECT_EQ(AtoiSaturating("+-3"), 0);
    EXPECT_EQ(AtoiSaturating(" .5"), 0);
}

TEST(AtoiSaturating, KeepsTheEndsOfTheRangeExactly) {
    EXPECT_EQ(AtoiSaturating("2147483647"), kMax);
    EXPECT_EQ(AtoiSaturating("-2147483648"), kMin);
    EXPECT_EQ(AtoiSaturating("2147483646"), kMax - 1);
    EXPECT_EQ(AtoiSaturating("-2147483647"), kMin + 1);
}

TEST(AtoiSaturating, SaturatesNumbersBeyondTheRange) {
    EXPECT_EQ(AtoiSaturating("2147483648"), kMax);
    EXPECT_EQ(AtoiSaturating("-2147483649"), kMin);
    EXPECT_EQ(AtoiSaturating("4294967296"), kMax);  // would wrap to 0 if cut to 32 bits
    EXPECT_EQ(AtoiSaturating("99999999999999999999999"), kMax);
    EXPECT_EQ(AtoiSaturating(std::string(5000, '9').c_str()), kMax);
    EXPECT_EQ(AtoiSaturating(("-" + std::string(5000, '9') + "x").c_str()), kMin);
}

TEST(IconOrigin, CentresTruncatingTowardZero) {
    EXPECT_EQ(IconOrigin(36, 32), 2);
    EXPECT_EQ(IconOrigin(35, 32), 2);
    EXPECT_EQ(IconOrigin(34, 32), 1);
    EXPECT_EQ(IconOrigin(32, 32), 0);
    EXPECT_EQ(IconOrigin(30, 32), 0);  // -1 / 2: toward zero, not -1
    EXPECT_EQ(IconOrigin(29, 32), -1);
    EXPECT_EQ(IconOrigin(0, 32), -15);
    EXPECT_EQ(IconOrigin(160, 32), 64);
}

}  // namespace
}  // namespace mensurio
