// Drives a border filter plug-in file through everything a host hands it, in one process, and
// writes what comes back to a file, so that two builds of the same sources (the 32-bit Windows
// release under emulation, the native one) can be compared byte for byte: the registered
// names, the script call and summary of each setting, and a hash of every frame for both
// pitch signs (bottom-up rows, and top-down rows handed as a pointer to the last row with a
// negative pitch) and both pass orders. One process, because each start of the emulated
// release costs about a minute.
//   plugin_probe PLUGIN OUT_FILE
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "border_settings.h"
#include "filter_host.h"
#include "script_binding.h"

namespace {

// A fixed-seed generator of our own: the same numbers in every build and C++ library.
class Random {
public:
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int32_t Between(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(Next() % static_cast<uint32_t>(high - low + 1));
    }

private:
    uint32_t state_ = 2463534242u;
};

uint64_t Fnv1a(const void *bytes, size_t count, uint64_t hash = 14695981039346656037ull) {
    const auto *p = static_cast<const uint8_t *>(bytes);
    for (size_t k = 0; k < count; ++k)
        hash = (hash ^ p[k]) * 1099511628211ull;
    return hash;
}

struct Frame {
    int32_t width, height;
    std::vector<uint32_t> topDown;  // the picture, top row first
};

constexpr ptrdiff_t kPaddingWords = 3;
constexpr uint32_t kPadding = 0x5AA5A55Au;

// Frame memory as a host lays it out: rows kPaddingWords apart beyond the picture, bottom-up
// (positive pitch) or top-down (pointer to the last row in memory, negative pitch).
struct Bitmap {
    Bitmap(const Frame &frame, bool negativePitch)
        : stride(frame.width + kPaddingWords),
          memory(static_cast<size_t>(stride * frame.height), kPadding) {
        const ptrdiff_t pitch = stride * 4 * (negativePitch ? -1 : 1);
        std::memset(&record, 0, sizeof record);
        record.data = negativePitch ? &memory[static_cast<size_t>(stride * (frame.height - 1))]
                                    : memory.data();
        record.depth = 32;
        record.w = frame.width;
        record.h = frame.height;
        record.pitch = pitch;
        record.modulo = pitch - ptrdiff_t{frame.width} * 4;
        record.size = stride * 4 * frame.height;
    }
    uint32_t *Row(int32_t bottomUpRow) { return record.data + bottomUpRow * (record.pitch / 4); }
    void Load(const Frame &frame) {
        for (int32_t y = 0; y < frame.height; ++y)
            std::memcpy(Row(frame.height - 1 - y), &frame.topDown[static_cast<size_t>(y * frame.width)],
                        static_cast<size_t>(frame.width) * 4);
    }
    std::vector<uint32_t> TopDown() {
        std::vector<uint32_t> picture;
        for (int32_t y = record.h - 1; y >= 0; --y)
            picture.insert(picture.end(), Row(y), Row(y) + record.w);
        return picture;
    }
    bool PaddingIntact() {
        for (int32_t y = 0; y < record.h; ++y)
            for (ptrdiff_t x = record.w; x < stride; ++x)
                if (Row(y)[x] != kPadding)
                    return false;
        return true;
    }

    ptrdiff_t stride;
    std::vector<uint32_t> memory;
    FilterBitmap record;
};

struct Probe {
    const FilterDefinition &filter;
    const FilterFunctions &functions;
    std::FILE *out;
    std::string error;

    // One instance from init to deinit: the settings call, its script text and summary, then
    // every frame for both pass orders and both pitch signs.
    bool Run(const std::string &call, const std::vector<Frame> &frames) {
        Expected<std::vector<BoundCall>> bound = BindScript(call, filter.script_obj, "probe");
        if (!bound)
            return Failed(bound.failure().message);
        std::vector<uint64_t> memory((static_cast<size_t>(filter.inst_data_size) + 7) / 8 + 1, 0);
        FilterActivation activation{};
        activation.filter = &filter;
        activation.filter_data = memory.data();
        if (filter.initProc != nullptr && filter.initProc(&activation, &functions) != 0)
            return Failed("init failed");
        for (const BoundCall &c : *bound)
            c.function(nullptr, &activation, c.arguments.data(), static_cast<int>(c.arguments.size()));
        std::vector<char> script(256, '\0'), summary(128, '\0');
        const bool saved = filter.fssProc(&activation, &functions, script.data(), 256);
        filter.stringProc(&activation, &functions, summary.data());
        std::fprintf(out, "%s\n  script %d: %.256s\n  summary: %.128s\n", call.c_str(), saved,
                     script.data(), summary.data());

        auto &settings = *static_cast<BorderSettings *>(activation.filter_data);
        bool ok = true;
        for (bool topBottomFirst : {true, false}) {
            settings.processTopBottomFirst = topBottomFirst;
            for (const Frame &frame : frames)
                ok = ok && RunFrame(activation, frame, topBottomFirst);
        }
        if (filter.deinitProc != nullptr)
            filter.deinitProc(&activation, &functions);
        return ok;
    }

    bool RunFrame(FilterActivation &activation, const Frame &frame, bool topBottomFirst) {
        uint64_t hashes[2];
        for (bool negative : {false, true}) {
            Bitmap source(frame, negative), destination(frame, negative);
            source.Load(frame);
            activation.src = &source.record;
            activation.dst = &destination.record;
            activation.x2 = static_cast<uint32_t>(frame.width);
            activation.y2 = static_cast<uint32_t>(frame.height);
            if (filter.startProc != nullptr && filter.startProc(&activation, &functions) != 0)
                return Failed("start failed");
            const int result = filter.runProc(&activation, &functions);
            if (filter.endProc != nullptr)
                filter.endProc(&activation, &functions);
            activation.src = activation.dst = nullptr;
            if (result != 0)
                return Failed("run returned " + std::to_string(result));
            if (!destination.PaddingIntact() || !source.PaddingIntact())
                return Failed("the run wrote into the row padding");
            const std::vector<uint32_t> picture = destination.TopDown();
            hashes[negative] = Fnv1a(picture.data(), picture.size() * 4);
        }
        std::fprintf(out, "  %dx%d %s: %016llx\n", frame.width, frame.height,
                     topBottomFirst ? "top/bottom first" : "sides first",
                     static_cast<unsigned long long>(hashes[0]));
        if (hashes[0] != hashes[1])
            return Failed("the negative pitch gave another picture than the positive one");
        return true;
    }

    bool Failed(const std::string &message) {
        if (error.empty())
            error = message;
        return false;
    }
};

std::string ConfigCall(const int32_t (&values)[16]) {
    std::string call = "Config(";
    for (int k = 0; k < 16; ++k)
        call += std::to_string(values[k]) + (k < 15 ? ", " : ")");
    return call;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: plugin_probe PLUGIN OUT_FILE\n");
        return 2;
    }
    FilterHost host;
    Status loaded = host.Load(argv[1]);
    if (!loaded) {
        std::fprintf(stderr, "plugin_probe: %s\n", loaded.failure().message.c_str());
        return 1;
    }
    const FilterDefinition &filter = *host.Definitions().front();
    if (filter.inst_data_size != static_cast<int>(sizeof(BorderSettings)) ||
        filter.fssProc == nullptr || filter.stringProc == nullptr) {
        std::fprintf(stderr, "plugin_probe: not the border filter this probe knows\n");
        return 1;
    }
    std::FILE *out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "plugin_probe: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "%s\n%s\n%s\n", filter.name, filter.desc, filter.maker);

    Random random;
    std::vector<Frame> frames;
    for (auto size : {std::pair<int32_t, int32_t>{61, 47}, {16, 9}, {3, 2}, {1, 1}}) {
        Frame frame{size.first, size.second, {}};
        for (int32_t k = 0; k < size.first * size.second; ++k)
            frame.topDown.push_back(random.Next());
        frames.push_back(frame);
    }
    std::vector<std::string> calls = {
        "Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)",
        "Config(4, 2, 10, 2, 0, 0, 0, 0, 3, 0, 8, 1, 0, 4, 0, 0)",
        "Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4)",
        "Config(0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0)",
        "Config(60, 50, 70, 9, 60, 50, 70, 9, 80, 70, 90, 9, 80, 70, 90, 9)",
    };
    for (int n = 0; n < 40; ++n) {
        int32_t values[16];
        for (int32_t &value : values)
            value = random.Next() % 8 == 0 ? random.Between(-3, 70) : random.Between(0, 20);
        calls.push_back(ConfigCall(values));
    }

    Probe probe{filter, host.Functions(), out, {}};
    for (const std::string &call : calls) {
        if (!probe.Run(call, frames)) {
            std::fprintf(stderr, "plugin_probe: %s: %s\n", call.c_str(), probe.error.c_str());
            std::fclose(out);
            return 1;
        }
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "plugin_probe: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
