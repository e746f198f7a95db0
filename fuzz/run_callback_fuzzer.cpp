// The plug-in's run callback on any frame a host may hand it: 1 to 64 pixels on a side, rows
// bottom-up or top-down (negative pitch), padded rows, source and destination laid out apart,
// and any settings: the sixteen values of the Config call (any 32-bit value), either pass
// order, any border colour. The callback may write the destination's pixels only: the guard
// bytes around both bitmaps and in their row padding keep their pattern, the source stays as
// it was, and the pixels are those of the plain reference repair.
#include <cstring>
#include <vector>

#include "border_reference.h"
#include "fake_host.h"
#include "fuzz_input.h"
#include "script_form.h"

namespace {

constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuard = 0xA5;

// One bitmap in guarded memory: kGuardBytes of pattern, the rows (each followed by its
// padding, also pattern), kGuardBytes of pattern.
struct GuardedBitmap {
    std::vector<uint8_t> memory;
    FilterBitmap record{};
    size_t rowBytes;

    GuardedBitmap(int32_t width, int32_t height, size_t padding, bool topDown)
        : memory(2 * kGuardBytes + (width * 4 + padding) * height, kGuard),
          rowBytes(width * 4 + padding) {
        uint8_t *rows = memory.data() + kGuardBytes;
        const ptrdiff_t pitch = static_cast<ptrdiff_t>(rowBytes);
        // Memory row 0 is the picture's bottom row; with a negative pitch it lies last.
        record.data = reinterpret_cast<uint32_t *>(topDown ? rows + (height - 1) * rowBytes : rows);
        record.pitch = topDown ? -pitch : pitch;
        record.depth = 32;
        record.w = width;
        record.h = height;
        record.modulo = static_cast<ptrdiff_t>(padding);
        record.size = pitch * height;
    }

    uint32_t *Row(int32_t y) const {
        return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(record.data) +
                                            y * record.pitch);
    }

    bool OutsidePixelsIntact() const {
        for (size_t k = 0; k < memory.size(); ++k) {
            const bool inRows = k >= kGuardBytes && k < memory.size() - kGuardBytes;
            const bool inPixels = inRows && (k - kGuardBytes) % rowBytes < size_t(record.w) * 4;
            if (!inPixels && memory[k] != kGuard)
                return false;
        }
        return true;
    }
};


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    const int32_t width = in.UpTo(64), height = in.UpTo(64);
    GuardedBitmap source(width, height, 4 * (in.Byte() % 5), in.Flag());
    GuardedBitmap destination(width, height, 4 * (in.Byte() % 5), in.Flag());
    uint32_t seed = in.Word();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            source.Row(y)[x] = seed;
            destination.Row(y)[x] = ~seed;
        }
    const std::vector<uint8_t> sourceBefore = source.memory;

    RegisteredInstance plugin;
    FakeHost &host = plugin.host;
    FilterDefinition &filter = plugin.filter;
    FakeInstance &instance = plugin.instance;
    ScriptValue values[kScriptValueCount];
    for (ScriptValue &value : values) {
        std::memset(&value, 0, sizeof value);
        value.type = kScriptInt;
        value.u.i = in.Value();
    }
    filter.script_obj->func_list[0].func(nullptr, &instance.fa, values, kScriptValueCount);
    BorderSettings &settings = instance.settings();
    settings.processTopBottomFirst = in.Flag();
    settings.borderColour = in.Word() & 0xFFFFFF;

    instance.fa.src = &source.record;
    instance.fa.dst = &destination.record;
    FUZZ_CHECK(filter.runProc(&instance.fa, &host.functions) == 0);

    FUZZ_CHECK(source.memory == sourceBefore);
    FUZZ_CHECK(destination.OutsidePixelsIntact());
    std::vector<uint32_t> expected(size_t(width) * height);
    border_reference::ProcessFrame(source.record.data, source.record.pitch, expected.data(),
                                   width * 4, width, height, settings);
    for (int32_t y = 0; y < height; ++y)
        FUZZ_CHECK(std::memcmp(destination.Row(y), &expected[size_t(y) * width], width * 4) == 0);
    VirtualdubFilterModuleDeinit(&plugin.module, &host.functions);
    return 0;
}
