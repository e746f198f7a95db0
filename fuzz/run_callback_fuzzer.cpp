// The plug-in's run callback on any frame a host may hand it: 1 to 64 pixels on a side, rows
// bottom-up or top-down (negative pitch), padded rows, source and destination laid out apart,
// and any settings: the sixteen values of the Config call (any 32-bit value), either pass
// order, any border colour. The callback may write the destination's pixels only: the guard
// words around both bitmaps and in their row padding keep their pattern, the source stays as
// it was, and the pixels are those of the plain reference repair.
#include <cstring>
#include <vector>

#include "border_reference.h"
#include "fuzz_input.h"
#include "host_bitmap.h"
#include "plugin_under_test.h"

namespace kantora {
namespace {

int TestOneInput(const uint8_t *data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const int32_t width = in.UpTo(64), height = in.UpTo(64);
    const ptrdiff_t sourcePadding = 4 * (in.Byte() % 5);
    filterhost::HostBitmap source(
        width, height, sourcePadding,
        in.Flag() ? filterhost::RowOrder::TopDown : filterhost::RowOrder::BottomUp);
    const ptrdiff_t destinationPadding = 4 * (in.Byte() % 5);
    filterhost::HostBitmap destination(
        width, height, destinationPadding,
        in.Flag() ? filterhost::RowOrder::TopDown : filterhost::RowOrder::BottomUp);
    uint32_t seed = in.Word();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            source.Row(y)[x] = seed;
            destination.Row(y)[x] = ~seed;
        }
    std::vector<uint8_t> sourceBefore(size_t(width) * height * 4), sourceAfter(sourceBefore.size());
    source.StoreTopDown(sourceBefore.data());

    Expected<std::unique_ptr<PluginUnderTest>> plugin = PluginUnderTest::Linked();
    FUZZ_CHECK(plugin.ok());
    int32_t values[kConfigValueCount];
    for (int32_t &value : values)
        value = in.Value();
    (*plugin)->SetValues(values);
    BorderSettings &settings = (*plugin)->Settings();
    settings.processTopBottomFirst = in.Flag();
    settings.borderColour = in.Word() & 0xFFFFFF;

    // The host library checks the destination's padding and guards, and the instance memory.
    FUZZ_CHECK((*plugin)->Instance().Run(source, destination).ok());
    source.StoreTopDown(sourceAfter.data());
    FUZZ_CHECK(sourceAfter == sourceBefore && source.PaddingIntact());
    std::vector<uint32_t> expected(size_t(width) * height);
    border_reference::ProcessFrame(source.Row(0), source.Pitch(), expected.data(), width * 4, width,
                                   height, settings);
    for (int32_t y = 0; y < height; ++y)
        FUZZ_CHECK(std::memcmp(destination.Row(y), &expected[size_t(y) * width], width * 4) == 0);
    return 0;
}

}  // namespace
}  // namespace kantora

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return kantora::TestOneInput(data, size);
}
