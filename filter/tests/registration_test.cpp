// Loading, registering and the trivial callbacks, against a fake host.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_host.h"
#include "script_form.h"


namespace {

FilterDefinition &registerFilter(FakeHost &host, FilterModule &module) {
    int version = 0, compatible = 0;
    EXPECT_EQ(0, VirtualdubFilterModuleInit2(&module, &host.functions, version, compatible));
    EXPECT_EQ(7, version);
    EXPECT_EQ(4, compatible);
    return *host.added;
}

TEST(Registration, AddsTheDefinitionAndReportsVersions) {
    FakeHost host;
    FilterModule module{};
    FilterDefinition &def = registerFilter(host, module);

    EXPECT_EQ(1, host.addCalls);
    EXPECT_EQ(&module, host.addedModule);
    EXPECT_EQ(static_cast<int>(18 * sizeof(void *)), host.addedSize);
    EXPECT_STREQ("Kantora - 2.31", def.name);
    EXPECT_STREQ("Improves picture near borders", def.desc);
    EXPECT_STREQ("Tessaly", def.maker);
    EXPECT_EQ(nullptr, def.private_data);
    EXPECT_EQ(static_cast<int>(sizeof(BorderSettings)), def.inst_data_size);
    EXPECT_NE(nullptr, def.initProc);
    EXPECT_NE(nullptr, def.runProc);
    EXPECT_NE(nullptr, def.stringProc);
    EXPECT_NE(nullptr, def.startProc);
    EXPECT_NE(nullptr, def.endProc);
    EXPECT_NE(nullptr, def.fssProc);
    EXPECT_EQ(nullptr, def.deinitProc);
    EXPECT_EQ(nullptr, def.paramProc);
#if defined(_WIN32)
    EXPECT_NE(nullptr, def.configProc);  // the dialog
#else
    EXPECT_EQ(nullptr, def.configProc);  // no dialog without Windows
#endif

    ASSERT_NE(nullptr, def.script_obj);
    const ScriptFunctionDef *f = def.script_obj->func_list;
    ASSERT_NE(nullptr, f);
    EXPECT_STREQ("Config", f[0].name);
    EXPECT_STREQ("0iiiiiiiiiiiiiiii", f[0].arg_list);
    EXPECT_NE(nullptr, f[0].func);
    EXPECT_EQ(nullptr, f[1].func);
    EXPECT_EQ(nullptr, f[1].name);
    EXPECT_EQ(nullptr, f[1].arg_list);

    VirtualdubFilterModuleDeinit(&module, &host.functions);
    ASSERT_EQ(1u, host.removed.size());
    EXPECT_EQ(&host.handle, host.removed[0]);  // the handle add-filter returned, not the record
}

TEST(Registration, FailedAddReturnsOneAndLeavesVersionsAlone) {
    FakeHost host;
    host.failAdd = true;
    FilterModule module{};
    int version = -17, compatible = -23;
    EXPECT_EQ(1, VirtualdubFilterModuleInit2(&module, &host.functions, version, compatible));
    EXPECT_EQ(-17, version);
    EXPECT_EQ(-23, compatible);
}

TEST(Instance, InitGivesDefaultsAndKeepsThePreview) {
    FakeHost host;
    FilterModule module{};
    FilterDefinition &def = registerFilter(host, module);
    FakeInstance inst(def);
    IFilterPreview *const marker = reinterpret_cast<IFilterPreview *>(&inst);
    inst.settings().preview = marker;

    EXPECT_EQ(0, def.initProc(&inst.fa, &host.functions));
    const BorderSettings &s = inst.settings();
    EXPECT_EQ(marker, s.preview);
    for (int side = 0; side < kSideCount; ++side) {
        EXPECT_EQ(0, s.smearRegion[side]);
        EXPECT_EQ(0, s.blackRegion[side]);
        EXPECT_EQ(0, s.fadeRegion[side]);
        EXPECT_EQ(0, s.stretchFactor[side]);
    }
    EXPECT_TRUE(s.processTopBottomFirst);
    EXPECT_EQ(0u, s.borderColour);
    EXPECT_EQ(0, s.colourRed);
    EXPECT_EQ(0, s.colourGreen);
    EXPECT_EQ(0, s.colourBlue);

    const BorderSettings before = s;
    EXPECT_EQ(0, def.startProc(&inst.fa, &host.functions));
    EXPECT_EQ(0, def.endProc(&inst.fa, &host.functions));
    EXPECT_EQ(0, std::memcmp(&before, &s, sizeof before));
}

TEST(Instance, NewInstancePassesFramesThroughAndSavesZeros) {
    FakeHost host;
    FilterModule module{};
    FilterDefinition &def = registerFilter(host, module);
    FakeInstance inst(def);
    def.initProc(&inst.fa, &host.functions);

    // A 5x3 frame whose rows are padded, so that pitch and modulo matter; stored bottom-up,
    // and top-down as a pointer to the last row with a negative pitch.
    const int w = 5, h = 3, pitchWords = 7;
    for (bool topDown : {false, true}) {
        std::vector<uint32_t> src(pitchWords * h), dst(pitchWords * h, 0xDEADBEEFu);
        for (size_t i = 0; i < src.size(); ++i)
            src[i] = 0x9E3779B9u * static_cast<uint32_t>(i + 1);
        const ptrdiff_t lastRow = topDown ? (h - 1) * pitchWords : 0;
        FilterBitmap srcBm{}, dstBm{};
        for (FilterBitmap *bm : {&srcBm, &dstBm}) {
            bm->depth = 32;
            bm->w = w;
            bm->h = h;
            bm->pitch = (topDown ? -pitchWords : pitchWords) * 4;
            bm->modulo = bm->pitch - w * 4;
        }
        srcBm.data = src.data() + lastRow;
        dstBm.data = dst.data() + lastRow;
        inst.fa.src = &srcBm;
        inst.fa.dst = &dstBm;

        EXPECT_EQ(0, def.runProc(&inst.fa, &host.functions));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < pitchWords; ++x) {
                const uint32_t expected = x < w ? src[y * pitchWords + x] : 0xDEADBEEFu;
                EXPECT_EQ(expected, dst[y * pitchWords + x]) << "row " << y << " column " << x;
            }
    }

    char text[256];
    ASSERT_TRUE(def.fssProc(&inst.fa, &host.functions, text, sizeof text));
    EXPECT_STREQ("Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)", text);
    char summary[kSummarySize];
    def.stringProc(&inst.fa, &host.functions, summary);
    EXPECT_STREQ("(Top: 0,0,0. Bot: 0,0,0)", summary);
}

}  // namespace
