// The config line's blanks as the script reader's commas.
#include <gtest/gtest.h>

#include "config_line.h"

namespace {

TEST(CommasForBlanks, SeparateTheArgumentsOfTheOutermostCallOnly) {
    struct Case {
        const char *text, *read;
    };
    const Case cases[] = {
        {"Config(3 0 0 0)", "Config(3, 0, 0, 0)"},
        {"Config(1\t2   3)", "Config(1, 2, 3)"},
        {"Config(3, 0,0 , 1)", "Config(3, 0,0 , 1)"},
        {"  Config( 3  0 )  ", "  Config( 3, 0 )  "},
        {"Config(3 -1 +2 0x1F)", "Config(3, -1, +2, 0x1F)"},
        {"Config(3 - 1)", "Config(3, - 1)"},
        {"VirtualDub.video.filters.instance[0].Config(1 2);",
         "VirtualDub.video.filters.instance[0].Config(1, 2);"},
        {"Config(1 (2 3) 4) and more", "Config(1, (2 3), 4) and more"},
        {"Config(1 2", "Config(1, 2"},
        {"no call at all", "no call at all"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(kantora::frei0r::CommasForBlanks(c.text), c.read) << c.text;
}

}  // namespace
