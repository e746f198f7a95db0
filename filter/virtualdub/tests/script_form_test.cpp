// Settings written as a Config call and read back through the script function.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "plugin_under_test.h"
#include "script_form.h"

namespace kantora {
namespace {

using Instance = std::unique_ptr<filterhost::FilterInstance>;

BorderSettings &SettingsOf(const Instance &inst) {
    return *static_cast<BorderSettings *>(inst->Data());
}

class ScriptForm : public ::testing::Test {
protected:
    std::unique_ptr<PluginUnderTest> plugin_;
    const FilterDefinition *def_ = nullptr;

    void SetUp() override {
        Expected<std::unique_ptr<PluginUnderTest>> linked = PluginUnderTest::Linked();
        ASSERT_TRUE(linked.ok()) << linked.failure().message;
        plugin_ = std::move(*linked);
        def_ = &plugin_->Definition();
    }

    Instance NewInstance() { return plugin_->NewInstance(); }

    // Runs Config through the script object as a host would, with host script values.
    void RunConfig(const Instance &inst, const int32_t (&values)[kConfigValueCount],
                   int argc = kConfigValueCount) {
        ScriptValue argv[kConfigValueCount];
        for (int k = 0; k < kConfigValueCount; ++k) {
            argv[k] = ScriptValue{};
            argv[k].type = kScriptInt;
            argv[k].u.i = values[k];
        }
        const ScriptFunctionDef &config = def_->script_obj->func_list[0];
        config.func(nullptr, &inst->Activation(), argv, argc);
    }

    std::string Saved(const Instance &inst) {
        char text[512];
        EXPECT_TRUE(def_->fssProc(&inst->Activation(), &inst->Functions(), text, sizeof text));
        return text;
    }
};

std::string ConfigText(const int32_t (&v)[kConfigValueCount]) {
    std::string text = "Config(";
    for (int k = 0; k < kConfigValueCount; ++k)
        text += (k ? ", " : "") + std::to_string(v[k]);
    return text + ")";
}

TEST_F(ScriptForm, ArgumentsLandInTheirEdgesRightBeforeLeft) {
    Instance inst = NewInstance();
    const int32_t values[kConfigValueCount] = {1, 2,  3,  4,  5,  6,  7,  8,
                                               9, 10, 11, 12, 13, 14, 15, 16};
    RunConfig(inst, values);
    const BorderSettings &s = SettingsOf(inst);
    // Top, Bottom, Right, Left; each smear, black, fade, stretch.
    const struct {
        Side side;
        int first;
    } edges[] = {{Top, 1}, {Bottom, 5}, {Right, 9}, {Left, 13}};
    for (const auto &e : edges) {
        EXPECT_EQ(e.first, s.smearRegion[e.side]) << e.side;
        EXPECT_EQ(e.first + 1, s.blackRegion[e.side]) << e.side;
        EXPECT_EQ(e.first + 2, s.fadeRegion[e.side]) << e.side;
        EXPECT_EQ(e.first + 3, s.stretchFactor[e.side]) << e.side;
    }
    EXPECT_EQ(ConfigText(values), Saved(inst));
    char summary[kSummarySize];
    def_->stringProc(&inst->Activation(), &inst->Functions(), summary);
    EXPECT_STREQ("(Top: 1,2,3. Bot: 5,6,7)", summary);
}

TEST_F(ScriptForm, RestoringLeavesOrderFlagColourAndPreviewAlone) {
    Instance inst = NewInstance();
    BorderSettings &s = SettingsOf(inst);
    s.processTopBottomFirst = false;
    s.borderColour = 0x00123456u;
    s.colourRed = 0x12;
    s.colourGreen = 0x34;
    s.colourBlue = 0x56;
    IFilterPreview *const marker = reinterpret_cast<IFilterPreview *>(&inst);
    s.preview = marker;

    const int32_t values[kConfigValueCount] = {9, 8, 7,  6,  5,  4,  3,  2,
                                               1, 0, -1, -2, -3, -4, -5, -6};
    RunConfig(inst, values);
    EXPECT_FALSE(s.processTopBottomFirst);
    EXPECT_EQ(0x00123456u, s.borderColour);
    EXPECT_EQ(0x12, s.colourRed);
    EXPECT_EQ(0x34, s.colourGreen);
    EXPECT_EQ(0x56, s.colourBlue);
    EXPECT_EQ(marker, s.preview);

    Instance fresh = NewInstance();
    RunConfig(fresh, values);
    EXPECT_TRUE(SettingsOf(fresh).processTopBottomFirst);
    EXPECT_EQ(0u, SettingsOf(fresh).borderColour);
}

TEST_F(ScriptForm, RoundTripKeepsAnyIntegerUnchanged) {
    std::mt19937 rng(20261208);
    const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -256, -1, 0, 1, 255, 256, INT32_MAX};
    std::uniform_int_distribution<int64_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> extreme(0, sizeof extremes / sizeof extremes[0] - 1);
    for (int round = 0; round < 500; ++round) {
        int32_t values[kConfigValueCount];
        for (int32_t &v : values) {
            switch (pick(rng)) {
            case 0:
                v = extremes[extreme(rng)];
                break;
            case 1:
                v = static_cast<int32_t>(any(rng));
                break;
            default:
                v = static_cast<int32_t>(any(rng) % 300);
                break;
            }
        }
        Instance first = NewInstance();
        RunConfig(first, values);
        const std::string text = Saved(first);
        ASSERT_EQ(ConfigText(values), text);

        // Read the text back the way a script would hand it over, and write it again.
        int32_t parsed[kConfigValueCount];
        const char *p = text.c_str() + std::strlen("Config(");
        for (int32_t &v : parsed) {
            char *end = nullptr;
            v = static_cast<int32_t>(std::strtoll(p, &end, 10));
            p = end + 2;  // ", " or ")"
        }
        Instance second = NewInstance();
        RunConfig(second, parsed);
        EXPECT_EQ(text, Saved(second));
        EXPECT_EQ(0, std::memcmp(first->Data(), second->Data(), size_t(def_->inst_data_size)));
    }
}

TEST_F(ScriptForm, ShortArgumentListIsIgnored) {
    Instance inst = NewInstance();
    const int32_t values[kConfigValueCount] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    RunConfig(inst, values, kConfigValueCount - 1);
    EXPECT_EQ("Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)", Saved(inst));
}

// Every buffer size from 0 to 220: nothing written past the end, always terminated, and
// true exactly when the whole call fits.
TEST_F(ScriptForm, ScriptStringStaysInsideTheHostBuffer) {
    const int32_t samples[][kConfigValueCount] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255},
        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN,
         INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
    };
    constexpr int kGuard = 16;
    constexpr unsigned char kFill = 0xA5;
    for (const auto &values : samples) {
        Instance inst = NewInstance();
        RunConfig(inst, values);
        const std::string full = ConfigText(values);
        for (int size = 0; size <= 220; ++size) {
            std::vector<unsigned char> area(static_cast<size_t>(size) + 2 * kGuard, kFill);
            char *buffer = reinterpret_cast<char *>(area.data() + kGuard);
            const bool ok = def_->fssProc(&inst->Activation(), &inst->Functions(), buffer, size);
            EXPECT_EQ(static_cast<int>(full.size()) < size, ok) << "size " << size;
            for (int g = 0; g < kGuard; ++g) {
                ASSERT_EQ(kFill, area[g]) << "written before the buffer, size " << size;
                ASSERT_EQ(kFill, area[kGuard + size + g])
                    << "written past the buffer, size " << size;
            }
            if (size > 0) {
                const size_t len = strnlen(buffer, static_cast<size_t>(size));
                ASSERT_LT(len, static_cast<size_t>(size)) << "not terminated, size " << size;
                EXPECT_EQ(full.substr(0, len), std::string(buffer, len));
                if (ok) {
                    EXPECT_EQ(full, buffer);
                }
            }
        }
    }
}

TEST_F(ScriptForm, LongestSummaryFitsItsBuffer) {
    Instance inst = NewInstance();
    int32_t values[kConfigValueCount];
    for (int32_t &v : values)
        v = INT32_MIN;
    RunConfig(inst, values);
    std::vector<char> area(kSummarySize + 32, '#');
    def_->stringProc(&inst->Activation(), &inst->Functions(), area.data());
    const std::string summary = area.data();
    EXPECT_EQ(
        "(Top: -2147483648,-2147483648,-2147483648. Bot: -2147483648,-2147483648,-2147483648)",
        summary);
    for (size_t i = kSummarySize; i < area.size(); ++i)
        ASSERT_EQ('#', area[i]);
}

}  // namespace
}  // namespace kantora
