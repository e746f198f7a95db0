// Speed of the filter's run callback, reached the way a host reaches it: the built plug-in
// module is loaded, its entry registers the filter definition, the settings arrive through
// the Config script function, and the run callback repairs frames through an activation
// record. Each case is timed against a plain row copy of the same frame (the floor: every
// pixel must be read and written once) and against the plain per-pixel sweeps of the tests.
//
//   border_bench [--plugin PATH] [Google Benchmark options]
//
// By default every case runs 5 times in random interleaved order, and the table at the end
// gives the median of each case and its ratios to the median copy of the same frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../tests/border_reference.h"
#include "border_settings.h"
#include "filter_host.h"
#include "host/vdfilter.h"

namespace {

struct FrameCase {
    int32_t width, height;
};
const FrameCase kFrames[] = {{720, 576}, {1920, 1080}, {3840, 2160}};

struct SettingsCase {
    const char *name;
    int32_t smear, black, fade, stretch;  // the same on every edge
};
const SettingsCase kSettings[] = {
    {"zero", 0, 0, 0, 0}, {"typical", 8, 2, 12, 4}, {"heavy", 48, 16, 64, 16}};

// A top-down buffer seen bottom-up, as hosts hand it: with a positive pitch the first row in
// memory is the picture's bottom row; with a negative pitch the bitmap's data pointer is the
// buffer's last row and each row lies `pitch` bytes before the previous one.
struct Frame {
    int32_t width = 0, height = 0;
    bool negativePitch = false;
    std::vector<uint32_t> buffer;

    Frame(int32_t w, int32_t h, bool negative)
        : width(w), height(h), negativePitch(negative), buffer(size_t(w) * size_t(h)) {}
    ptrdiff_t Pitch() const { return (negativePitch ? -1 : 1) * ptrdiff_t(width) * 4; }
    uint32_t *Data() {
        return negativePitch ? buffer.data() + size_t(height - 1) * size_t(width) : buffer.data();
    }
    FilterBitmap Record() {
        FilterBitmap record{};
        record.data = Data();
        record.depth = 32;
        record.w = width;
        record.h = height;
        record.pitch = Pitch();
        record.modulo = Pitch() - ptrdiff_t(width) * 4;
        record.size = ptrdiff_t(width) * height * 4;
        return record;
    }
};

// The loaded plug-in and one instance of its first filter.
struct Plugin {
    FilterHost host;
    const FilterDefinition *definition = nullptr;
    std::vector<uint64_t> instanceMemory;
    FilterActivation activation{};

    bool Load(const std::string &path) {
        Status loaded = host.Load(path);
        if (!loaded) {
            std::fprintf(stderr, "border_bench: %s\n", loaded.failure().message.c_str());
            return false;
        }
        definition = host.Definitions().front();
        instanceMemory.assign(size_t(definition->inst_data_size) / 8 + 1, 0);
        activation.filter = definition;
        activation.filter_data = instanceMemory.data();
        definition->initProc(&activation, &host.Functions());
        return true;
    }

    void Configure(const SettingsCase &c, bool topBottomFirst) {
        ScriptValue values[16]{};
        const int32_t perEdge[4] = {c.smear, c.black, c.fade, c.stretch};
        for (int k = 0; k < 16; ++k) {
            values[k].type = kScriptInt;
            values[k].u.i = perEdge[k % 4];
        }
        const ScriptFunctionDef &config = definition->script_obj->func_list[0];
        config.func(nullptr, &activation, values, 16);
        // The pass order is not part of the script call; the host owns the instance memory.
        static_cast<BorderSettings *>(activation.filter_data)->processTopBottomFirst =
            topBottomFirst;
    }

    void Run(FilterBitmap &src, FilterBitmap &dst) {
        activation.src = &src;
        activation.dst = &dst;
        activation.x2 = uint32_t(src.w);
        activation.y2 = uint32_t(src.h);
        definition->runProc(&activation, &host.Functions());
    }
};

Plugin plugin;

// Source frames are shared by every case of a size and pitch sign.
Frame &SourceFrame(int32_t w, int32_t h, bool negative) {
    static std::map<std::tuple<int32_t, int32_t, bool>, Frame> frames;
    auto [it, added] = frames.try_emplace({w, h, negative}, w, h, negative);
    if (added) {
        std::mt19937 rng(uint32_t(w * 31 + h));
        for (uint32_t &pixel : it->second.buffer)
            pixel = rng();
    }
    return it->second;
}

std::string FrameName(const FrameCase &f) {
    return std::to_string(f.width) + "x" + std::to_string(f.height);
}

void CopyRows(benchmark::State &state, FrameCase f, bool negative) {
    Frame &src = SourceFrame(f.width, f.height, negative);
    Frame dst(f.width, f.height, negative);
    const size_t rowBytes = size_t(f.width) * 4;
    for (auto _ : state) {
        const char *from = reinterpret_cast<const char *>(src.Data());
        char *to = reinterpret_cast<char *>(dst.Data());
        for (int32_t y = 0; y < f.height; ++y, from += src.Pitch(), to += dst.Pitch())
            std::memcpy(to, from, rowBytes);
        benchmark::DoNotOptimize(dst.buffer.data());
        benchmark::ClobberMemory();
    }
}

void RunCallback(benchmark::State &state, FrameCase f, SettingsCase c, bool negative,
                 bool topBottomFirst) {
    Frame &src = SourceFrame(f.width, f.height, negative);
    Frame dst(f.width, f.height, negative);
    FilterBitmap srcRecord = src.Record(), dstRecord = dst.Record();
    plugin.Configure(c, topBottomFirst);
    for (auto _ : state) {
        plugin.Run(srcRecord, dstRecord);
        benchmark::ClobberMemory();
    }
}

// The plain sweeps; afterwards the run callback must give the very same picture.
void ReferenceSweep(benchmark::State &state, FrameCase f, SettingsCase c, bool negative,
                    bool topBottomFirst) {
    Frame &src = SourceFrame(f.width, f.height, negative);
    Frame dst(f.width, f.height, negative);
    plugin.Configure(c, topBottomFirst);
    const BorderSettings settings = *static_cast<BorderSettings *>(plugin.activation.filter_data);
    for (auto _ : state) {
        border_reference::ProcessFrame(src.Data(), src.Pitch(), dst.Data(), dst.Pitch(), f.width,
                                       f.height, settings);
        benchmark::ClobberMemory();
    }
    Frame filtered(f.width, f.height, negative);
    FilterBitmap srcRecord = src.Record(), dstRecord = filtered.Record();
    plugin.Run(srcRecord, dstRecord);
    if (filtered.buffer != dst.buffer)
        state.SkipWithError("the run callback's picture differs from the plain sweeps'");
}

// Medians of every case, keyed by benchmark name.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::vector<double>> times;  // ms per frame
    bool failed = false;

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            failed |= run.error_occurred;
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        }
    }

    // The fastest repetition: on a shared machine the others carry the neighbours' load.
    double Fastest(const std::string &name) const {
        auto it = times.find(name);
        return it == times.end() || it->second.empty()
                   ? 0
                   : *std::min_element(it->second.begin(), it->second.end());
    }
    double Median(const std::string &name) const {
        auto it = times.find(name);
        if (it == times.end() || it->second.empty())
            return 0;
        std::vector<double> v = it->second;
        std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
        return v[v.size() / 2];
    }
};

std::string Pitch(bool negative) { return negative ? "-pitch" : "+pitch"; }
std::string Order(bool topBottomFirst) { return topBottomFirst ? "tb-first" : "sides-first"; }

void RegisterAll() {
    for (const FrameCase &f : kFrames)
        for (bool negative : {false, true}) {
            const std::string frame = FrameName(f) + "/" + Pitch(negative);
            benchmark::RegisterBenchmark(("copy/" + frame).c_str(), CopyRows, f, negative)
                ->Unit(benchmark::kMillisecond);
            for (const SettingsCase &c : kSettings)
                for (bool tbFirst : {true, false}) {
                    const std::string name = frame + "/" + c.name + "/" + Order(tbFirst);
                    benchmark::RegisterBenchmark(("run/" + name).c_str(), RunCallback, f, c,
                                                 negative, tbFirst)
                        ->Unit(benchmark::kMillisecond);
                    benchmark::RegisterBenchmark(("plain/" + name).c_str(), ReferenceSweep, f,
                                                 c, negative, tbFirst)
                        ->Unit(benchmark::kMillisecond)
                        ->MinTime(0.05);
                }
        }
}

void PrintTable(const TableReporter &r) {
    std::printf("\nms per frame: the fastest repetition of each case, and the ratio to the fastest"
                " copy\nof the same frame; in brackets the same ratio of the medians\n\n");
    std::printf("| frame | pitch | settings | order | copy ms | run ms | run/copy | plain ms "
                "| plain/copy |\n|---|---|---|---|---|---|---|---|---|\n");
    for (const FrameCase &f : kFrames)
        for (bool negative : {false, true}) {
            const std::string frame = FrameName(f) + "/" + Pitch(negative);
            const double copy = r.Fastest("copy/" + frame), copyMedian = r.Median("copy/" + frame);
            for (const SettingsCase &c : kSettings)
                for (bool tbFirst : {true, false}) {
                    const std::string name = frame + "/" + c.name + "/" + Order(tbFirst);
                    const double run = r.Fastest("run/" + name), plain = r.Fastest("plain/" + name);
                    if (run == 0 || copy == 0)
                        continue;
                    std::printf("| %s | %s | %s | %s | %.3f | %.3f | %.2f (%.2f) | ", FrameName(f).c_str(),
                                Pitch(negative).c_str(), c.name, Order(tbFirst).c_str(), copy, run,
                                run / copy, r.Median("run/" + name) / copyMedian);
                    if (plain == 0)
                        std::printf("- | - |\n");
                    else
                        std::printf("%.2f | %.0f |\n", plain, plain / copy);
                }
        }
}

}  // namespace

int main(int argc, char **argv) {
    std::string pluginPath = KANTORA_PLUGIN_PATH;
    std::vector<char *> args{argv[0]};
    std::string repetitions = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string minTime = "--benchmark_min_time=0.2";
    args.push_back(repetitions.data());
    args.push_back(interleave.data());
    args.push_back(minTime.data());
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--plugin") == 0 && k + 1 < argc)
            pluginPath = argv[++k];
        else
            args.push_back(argv[k]);  // later options override the defaults above
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;
    if (!plugin.Load(pluginPath))
        return 1;
    RegisterAll();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    return reporter.failed ? 1 : 0;
}
