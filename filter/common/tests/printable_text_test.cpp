#include "printable_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kantora {
namespace {

TEST(Printable, ShowsOutsideTextOnOneLineAndUnambiguously) {
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"", ""},
        {"Config(3, 0, 0)", "Config(3, 0, 0)"},
        {"C:\\captures\\tape 1.vcf", "C:\\captures\\tape 1.vcf"},  // nothing to escape
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x8E\xA5",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x8E\xA5"},
        {"a\rb\nc\td", "a\\rb\\nc\\td"},
        {"\x1B[31mred\x1B[0m", "\\e[31mred\\e[0m"},
        {"\x1B[2J", "\\e[2J"},
        {std::string("nul\0here", 8), "nul\\x00here"},
        {"bell\x07 del\x7F", "bell\\x07 del\\x7F"},
        {"a\\b\n", "a\\\\b\\n"},                             // backslashes escaped once anything is
        {"\xFF\xFE", "\\xFF\\xFE"},                          // not UTF-8
        {"\xC0\xAF", "\\xC0\\xAF"},                          // overlong
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},                 // a surrogate
        {"cut \xE2\x82", "cut \\xE2\\x82"},                  // a sequence cut short
        {"\xC3\xA9\x1B", "\xC3\xA9\\e"},                     // valid UTF-8 beside an escape stays
        {"\xC2\x9B[2J \xC2\xA0", "\\xC2\\x9B[2J \xC2\xA0"},  // C1 control; no-break space stays
    };
    for (const Case &c : cases)
        EXPECT_EQ(Printable(c.text), c.shown) << c.shown;
}

TEST(Printable, CutsLongTextAtTheLimitWithoutSplittingACharacter) {
    EXPECT_EQ(Printable(std::string(80, 'x')), std::string(80, 'x'));
    EXPECT_EQ(Printable(std::string(81, 'x')), std::string(80, 'x') + "...");
    EXPECT_EQ(Printable("abc\r\r\r", 4), "abc\\r...");
    EXPECT_EQ(Printable("\xC2\x85\xC2\x85\xC2\x85", 2), "\\xC2\\x85\\xC2\\x85...");
    std::string accents;
    for (int k = 0; k < 6; ++k)
        accents += "\xC3\xA9";
    EXPECT_EQ(Printable(accents, 5), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9...");
    const std::string path = "/" + std::string(100, 'd') + "/\x1B.raw";
    EXPECT_EQ(PrintableWhole(path), "/" + std::string(100, 'd') + "/\\e.raw");
}

}  // namespace
}  // namespace kantora
