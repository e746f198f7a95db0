// Loading, registering and the trivial callbacks: the module entry against a host function
// table that records what it is given, the instance through the host library.
#include <gtest/gtest.h>

#include <cstring>

#include "host_bitmap.h"
#include "plugin_under_test.h"
#include "script_form.h"

namespace kantora {
namespace {

// Records what the plug-in registers; add-filter fails when told to.
struct RecordingHost {
    inline static RecordingHost *current = nullptr;

    bool failAdd = false;
    int addCalls = 0;
    FilterModule *addedModule = nullptr;
    FilterDefinition *added = nullptr;
    int addedSize = 0;
    std::vector<FilterDefinition *> removed;
    FilterDefinition handle{};  // what add-filter hands back as the filter handle
    FilterFunctions functions{};

    RecordingHost() {
        current = this;
        functions.addFilter = &RecordingHost::AddFilter;
        functions.removeFilter = &RecordingHost::RemoveFilter;
    }
    ~RecordingHost() { current = nullptr; }

    static FilterDefinition *VDX_CDECL AddFilter(FilterModule *module, FilterDefinition *def,
                                                 int size) {
        RecordingHost &h = *current;
        ++h.addCalls;
        h.addedModule = module;
        h.added = def;
        h.addedSize = size;
        return h.failAdd ? nullptr : &h.handle;
    }
    static void VDX_CDECL RemoveFilter(FilterDefinition *def) { current->removed.push_back(def); }
};

FilterDefinition &RegisterFilter(RecordingHost &host, FilterModule &module) {
    int version = 0, compatible = 0;
    EXPECT_EQ(0, VirtualdubFilterModuleInit2(&module, &host.functions, version, compatible));
    EXPECT_EQ(7, version);
    EXPECT_EQ(4, compatible);
    return *host.added;
}

std::unique_ptr<PluginUnderTest> LinkedPlugin() {
    Expected<std::unique_ptr<PluginUnderTest>> plugin = PluginUnderTest::Linked();
    EXPECT_TRUE(plugin.ok()) << plugin.failure().message;
    return plugin ? std::move(*plugin) : nullptr;
}

TEST(Registration, AddsTheDefinitionAndReportsVersions) {
    RecordingHost host;
    FilterModule module{};
    FilterDefinition &def = RegisterFilter(host, module);

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
    RecordingHost host;
    host.failAdd = true;
    FilterModule module{};
    int version = -17, compatible = -23;
    EXPECT_EQ(1, VirtualdubFilterModuleInit2(&module, &host.functions, version, compatible));
    EXPECT_EQ(-17, version);
    EXPECT_EQ(-23, compatible);
}

TEST(Instance, InitGivesDefaultsAndKeepsThePreview) {
    std::unique_ptr<PluginUnderTest> plugin = LinkedPlugin();
    ASSERT_TRUE(plugin);
    const FilterDefinition &def = plugin->Definition();
    filterhost::FilterInstance &inst = plugin->Instance();
    // Init again over memory that holds anything but the defaults, and a preview controller.
    std::memset(inst.Data(), 0xCD, size_t(def.inst_data_size));
    IFilterPreview *const marker = reinterpret_cast<IFilterPreview *>(&inst);
    plugin->Settings().preview = marker;

    EXPECT_EQ(0, def.initProc(&inst.Activation(), &inst.Functions()));
    const BorderSettings &s = plugin->Settings();
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
    EXPECT_EQ(0, def.startProc(&inst.Activation(), &inst.Functions()));
    EXPECT_EQ(0, def.endProc(&inst.Activation(), &inst.Functions()));
    EXPECT_EQ(0, std::memcmp(&before, &s, sizeof before));
}

TEST(Instance, NewInstancePassesFramesThroughAndSavesZeros) {
    std::unique_ptr<PluginUnderTest> plugin = LinkedPlugin();
    ASSERT_TRUE(plugin);
    filterhost::FilterInstance &inst = plugin->Instance();

    // A 5x3 frame whose rows are padded, so that pitch and modulo matter; stored bottom-up,
    // and top-down as a pointer to the last row with a negative pitch. The host library
    // checks that nothing lands in the padding.
    const int w = 5, h = 3;
    std::vector<uint8_t> picture(size_t(w) * h * 4), result(picture.size());
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = uint8_t(0x9E3779B9u * static_cast<uint32_t>(i + 1) >> 24);
    for (filterhost::RowOrder order :
         {filterhost::RowOrder::BottomUp, filterhost::RowOrder::TopDown}) {
        filterhost::HostBitmap source(w, h, 8, order), destination(w, h, 8, order);
        source.LoadTopDown(picture.data());
        Status run = inst.Run(source, destination);
        EXPECT_TRUE(run.ok()) << run.failure().message;
        destination.StoreTopDown(result.data());
        EXPECT_EQ(picture, result);
    }

    Expected<std::string> script = inst.ScriptText(256);
    ASSERT_TRUE(script.ok());
    EXPECT_EQ("Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)", *script);
    Expected<std::string> summary = inst.Summary();
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ("(Top: 0,0,0. Bot: 0,0,0)", *summary);
}

}  // namespace
}  // namespace kantora
