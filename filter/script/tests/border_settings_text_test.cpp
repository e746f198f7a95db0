#include "border_settings_text.h"

#include <gtest/gtest.h>

#include "config_layout.h"

namespace kantora {
namespace {

// The settings come out as the plug-in's own Config function sets them, from every form the
// reader takes; a text that does not hold the border filter's settings is refused whole.
TEST(BorderSettingsText, ReadsEveryFormTheHostReads) {
    const ConfigValues values = {3, 0, 0, 0, 0, 10, 20, 0, 7, 0, 0, 0, 0, 10, 0, 0};
    const char *const forms[] = {
        "Config(3, 0, 0, 0, 0, 10, 20, 0, 7, 0, 0, 0, 0, 10, 0, 0)",
        "VirtualDub.video.filters.instance[0].Config(3,0,0,0,0,10,20,0,7,0,0,0,0,10,0,0);",
        "Config(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16)\n"
        "Config(3, 0, 0, 0, 0, 10, 20, 0, 7, 0, 0, 0, 0, 10, 0, 0)  # the last call counts\n",
        "VirtualDub.video.filters.Clear();\n"
        "VirtualDub.video.filters.Add(\"null transform\");\n"
        "VirtualDub.video.filters.Add(\"Kantora - 2.31\");\n"
        "VirtualDub.video.filters.instance[1].Config(3, 0, 0, 0, 0, 10, 20, 0, 7, 0, 0, 0, 0, "
        "10, 0, 0);\n"
        "VirtualDub.video.filters.instance[1].SetClipping(0, 0, 0, 0);\n",
    };
    for (const char *text : forms) {
        Expected<SettingsFromText> read = ReadBorderSettings(text, "test");
        ASSERT_TRUE(read) << text << ": " << read.failure().message;
        EXPECT_EQ(ConfigValuesOf(read->settings), values) << text;
        EXPECT_TRUE(read->settings.processTopBottomFirst);
    }
    struct Refused {
        const char *text;
        const char *message;
    };
    const Refused refused[] = {
        {"Config(3, 0, 0)", "test line 1, column 1: "},
        {"Config(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16)\nConfig(x)", "test line 2"},
        {"VirtualDub.video.filters.Add(\"null transform\");", "adds no filter named"},
        {"", "found no call"},
    };
    for (const Refused &r : refused) {
        Expected<SettingsFromText> read = ReadBorderSettings(r.text, "test");
        ASSERT_FALSE(read) << r.text;
        EXPECT_NE(read.failure().message.find(r.message), std::string::npos)
            << read.failure().message;
    }
}

}  // namespace
}  // namespace kantora
