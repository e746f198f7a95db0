// Drives a border filter plug-in file through everything a host hands it, in one process, and
// writes what comes back to a file, so that two builds of the same sources (the 32-bit Windows
// release under emulation, the native one) can be compared byte for byte: the registered
// names, the script call and summary of each setting, and a hash of every frame for both
// pitch signs (bottom-up rows, and top-down rows handed as a pointer to the last row with a
// negative pitch) and both pass orders. One process, because each start of the emulated
// release costs about a minute.
//   plugin_probe PLUGIN OUT_FILE
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "border_settings.h"
#include "host_bitmap.h"
#include "plugin_under_test.h"

namespace kantora {
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
    std::vector<uint8_t> topDown;  // the picture as B, G, R, X bytes, top row first
};

using Values = int32_t[kConfigValueCount];

// Bytes after each row of both bitmaps, which the host library checks stay untouched.
constexpr ptrdiff_t kPaddingBytes = 12;

struct Probe {
    PluginUnderTest &plugin;
    std::FILE *out;
    std::string error;

    // One instance from init to deinit: the settings call, its script text and summary, then
    // every frame for both pass orders and both pitch signs.
    bool Run(const Values &values, const std::vector<Frame> &frames) {
        plugin.ResetInstance();
        plugin.SetValues(values);
        filterhost::FilterInstance &instance = plugin.Instance();
        Expected<std::string> script = instance.ScriptText(256);
        Expected<std::string> summary = instance.Summary();
        if (!script || !summary)
            return Failed(!script ? script.failure().message : summary.failure().message);
        std::fprintf(out, "%s\n  script: %s\n  summary: %s\n", ConfigCall(values).c_str(),
                     script->c_str(), summary->c_str());
        bool ok = true;
        for (bool topBottomFirst : {true, false}) {
            plugin.Settings().processTopBottomFirst = topBottomFirst;
            for (const Frame &frame : frames)
                ok = ok && RunFrame(instance, frame, topBottomFirst);
        }
        return ok;
    }

    bool RunFrame(filterhost::FilterInstance &instance, const Frame &frame, bool topBottomFirst) {
        uint64_t hashes[2];
        for (filterhost::RowOrder order :
             {filterhost::RowOrder::BottomUp, filterhost::RowOrder::TopDown}) {
            filterhost::HostBitmap source(frame.width, frame.height, kPaddingBytes, order);
            filterhost::HostBitmap destination(frame.width, frame.height, kPaddingBytes, order);
            source.LoadTopDown(frame.topDown.data());
            Status run = instance.Start();
            if (run)
                run = instance.Run(source, destination);
            Status ended = instance.End();
            if (!run || !ended)
                return Failed(!run ? run.failure().message : ended.failure().message);
            if (!source.PaddingIntact())
                return Failed("the run wrote into the source's row padding");
            std::vector<uint8_t> picture(frame.topDown.size());
            destination.StoreTopDown(picture.data());
            hashes[order == filterhost::RowOrder::TopDown] = Fnv1a(picture.data(), picture.size());
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

    static std::string ConfigCall(const Values &values) {
        std::string call = "Config(";
        for (int k = 0; k < kConfigValueCount; ++k)
            call += std::to_string(values[k]) + (k < kConfigValueCount - 1 ? ", " : ")");
        return call;
    }
};

int Main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: plugin_probe PLUGIN OUT_FILE\n");
        return 2;
    }
    Expected<std::unique_ptr<PluginUnderTest>> loaded = PluginUnderTest::Load(argv[1]);
    if (!loaded) {
        std::fprintf(stderr, "plugin_probe: %s\n", loaded.failure().message.c_str());
        return 1;
    }
    PluginUnderTest &plugin = **loaded;
    const FilterDefinition &filter = plugin.Definition();
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
        for (int32_t k = 0; k < size.first * size.second; ++k) {
            const uint32_t pixel = random.Next();
            for (int b = 0; b < 4; ++b)
                frame.topDown.push_back(static_cast<uint8_t>(pixel >> (8 * b)));
        }
        frames.push_back(frame);
    }
    std::vector<std::vector<int32_t>> settings = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {4, 2, 10, 2, 0, 0, 0, 0, 3, 0, 8, 1, 0, 4, 0, 0},
        {8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4},
        {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0},
        {60, 50, 70, 9, 60, 50, 70, 9, 80, 70, 90, 9, 80, 70, 90, 9},
    };
    for (int n = 0; n < 40; ++n) {
        std::vector<int32_t> values(kConfigValueCount);
        for (int32_t &value : values)
            value = random.Next() % 8 == 0 ? random.Between(-3, 70) : random.Between(0, 20);
        settings.push_back(values);
    }

    Probe probe{plugin, out, {}};
    for (const std::vector<int32_t> &chosen : settings) {
        Values values;
        std::copy(chosen.begin(), chosen.end(), values);
        if (!probe.Run(values, frames)) {
            std::fprintf(stderr, "plugin_probe: %s: %s\n", Probe::ConfigCall(values).c_str(),
                         probe.error.c_str());
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

}  // namespace
}  // namespace kantora

int main(int argc, char **argv) { return kantora::Main(argc, argv); }
