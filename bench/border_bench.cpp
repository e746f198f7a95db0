// Speed of the filter's run callback, reached the way a host reaches it: the built plug-in
// module is loaded, its entry registers the filter definition, the settings arrive through
// the Config script function, and the run callback repairs frames through an activation
// record. Each case is timed against a plain row copy of the same frame (the floor: every
// pixel must be read and written once) and against the plain per-pixel sweeps of the tests.
//
//   border_bench [--plugin PATH] [Google Benchmark options]
//
// By default every case runs 5 times in random interleaved order; the table at the end gives
// each case's times and ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "border_reference.h"
#include "border_settings.h"
#include "host_bitmap.h"
#include "plugin_under_test.h"

namespace kantora::bench {
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

// Frames as hosts hand them: with a positive pitch the first row in memory is the picture's
// bottom row; with a negative pitch (top-down rows) the bitmap's data pointer is the buffer's
// last row and each row lies `pitch` bytes before the previous one.
filterhost::RowOrder OrderOf(bool negativePitch) {
    return negativePitch ? filterhost::RowOrder::TopDown : filterhost::RowOrder::BottomUp;
}

// The loaded plug-in and one instance of its first filter.
std::unique_ptr<PluginUnderTest> plugin;

void Configure(const SettingsCase &c, bool topBottomFirst) {
    const int32_t perEdge[4] = {c.smear, c.black, c.fade, c.stretch};
    int32_t values[kConfigValueCount];
    for (int k = 0; k < kConfigValueCount; ++k)
        values[k] = perEdge[k % 4];
    plugin->SetValues(values);
    plugin->Settings().processTopBottomFirst = topBottomFirst;
}

// The run callback alone, as the host calls it (without the host library's checks after it).
void Run(filterhost::HostBitmap &src, filterhost::HostBitmap &dst) {
    FilterActivation &activation = plugin->Activation();
    activation.src = src.Record();
    activation.dst = dst.Record();
    activation.x2 = uint32_t(src.Width());
    activation.y2 = uint32_t(src.Height());
    plugin->Definition().runProc(&activation, &plugin->Functions());
}

// Source frames are shared by every case of a size and pitch sign.
filterhost::HostBitmap &SourceFrame(int32_t w, int32_t h, bool negative) {
    static std::map<std::tuple<int32_t, int32_t, bool>, filterhost::HostBitmap> frames;
    auto [it, added] = frames.try_emplace({w, h, negative}, w, h, 0, OrderOf(negative));
    if (added) {
        std::mt19937 rng(uint32_t(w * 31 + h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                it->second.Row(y)[x] = rng();
    }
    return it->second;
}

std::vector<uint8_t> Picture(const filterhost::HostBitmap &frame) {
    std::vector<uint8_t> bytes(size_t(frame.Width()) * size_t(frame.Height()) * 4);
    frame.StoreTopDown(bytes.data());
    return bytes;
}

std::string FrameName(const FrameCase &f) {
    return std::to_string(f.width) + "x" + std::to_string(f.height);
}

void CopyRows(filterhost::HostBitmap &src, filterhost::HostBitmap &dst) {
    const size_t rowBytes = size_t(src.Width()) * 4;
    const char *from = reinterpret_cast<const char *>(src.Row(0));
    char *to = reinterpret_cast<char *>(dst.Row(0));
    for (int32_t y = 0; y < src.Height(); ++y, from += src.Pitch(), to += dst.Pitch())
        std::memcpy(to, from, rowBytes);
    benchmark::DoNotOptimize(to);
    benchmark::ClobberMemory();
}

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Each iteration copies the frame and runs the callback, into the same destination, each
// timed on its own and in turn first: a neighbour's load and the cache's state hit both alike,
// and the median of the iterations' ratios sets the outliers aside. The benchmark's own time
// is the run callback's.
void RunCallback(benchmark::State &state, FrameCase f, SettingsCase c, bool negative,
                 bool topBottomFirst) {
    using Clock = std::chrono::steady_clock;
    filterhost::HostBitmap &src = SourceFrame(f.width, f.height, negative);
    filterhost::HostBitmap dst(f.width, f.height, 0, OrderOf(negative));
    Configure(c, topBottomFirst);
    std::vector<double> copyTimes, runTimes, ratios;
    bool copyFirst = true;
    for (auto _ : state) {
        double copy = 0, run = 0;
        for (int step = 0; step < 2; ++step) {
            const auto start = Clock::now();
            if ((step == 0) == copyFirst) {
                CopyRows(src, dst);
                copy = std::chrono::duration<double>(Clock::now() - start).count();
            } else {
                Run(src, dst);
                benchmark::ClobberMemory();
                run = std::chrono::duration<double>(Clock::now() - start).count();
            }
        }
        copyFirst = !copyFirst;
        state.SetIterationTime(run);
        copyTimes.push_back(copy * 1000);
        runTimes.push_back(run * 1000);
        ratios.push_back(run / copy);
    }
    state.counters["copy_ms"] = Median(copyTimes);
    state.counters["run_ms"] = Median(runTimes);
    state.counters["run/copy"] = Median(ratios);
}

// The plain sweeps; afterwards the run callback must give the very same picture.
void ReferenceSweep(benchmark::State &state, FrameCase f, SettingsCase c, bool negative,
                    bool topBottomFirst) {
    filterhost::HostBitmap &src = SourceFrame(f.width, f.height, negative);
    filterhost::HostBitmap dst(f.width, f.height, 0, OrderOf(negative));
    Configure(c, topBottomFirst);
    const BorderSettings settings = plugin->Settings();
    for (auto _ : state) {
        border_reference::ProcessFrame(src.Row(0), src.Pitch(), dst.Row(0), dst.Pitch(), f.width,
                                       f.height, settings);
        benchmark::ClobberMemory();
    }
    filterhost::HostBitmap filtered(f.width, f.height, 0, OrderOf(negative));
    Run(src, filtered);
    if (Picture(filtered) != Picture(dst))
        state.SkipWithError("the run callback's picture differs from the plain sweeps'");
}

// Each case's figures over its repetitions, keyed by benchmark name.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::map<std::string, std::vector<double>>> figures;
    bool failed = false;

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            failed |= run.error_occurred;
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            auto &mine = figures[run.run_name.function_name];
            mine["ms"].push_back(run.GetAdjustedRealTime());
            for (const auto &[name, counter] : run.counters)
                mine[name].push_back(counter.value);
        }
    }

    // The median over the repetitions, 0 when there is none.
    double Figure(const std::string &benchmark, const std::string &name) const {
        auto it = figures.find(benchmark);
        if (it == figures.end())
            return 0;
        auto figure = it->second.find(name);
        return figure == it->second.end() ? 0 : Median(figure->second);
    }
    // The largest and smallest ratio of the repetitions.
    std::pair<double, double> Range(const std::string &benchmark) const {
        auto it = figures.find(benchmark);
        if (it == figures.end() || !it->second.count("run/copy"))
            return {0, 0};
        const std::vector<double> &v = it->second.at("run/copy");
        auto [lo, hi] = std::minmax_element(v.begin(), v.end());
        return {*lo, *hi};
    }
};

std::string Pitch(bool negative) { return negative ? "-pitch" : "+pitch"; }
std::string Order(bool topBottomFirst) { return topBottomFirst ? "tb-first" : "sides-first"; }

// Every frame, pitch sign, settings and pass order, with the benchmark name they make.
template <class Each>
void ForEachCase(Each each) {
    for (const FrameCase &f : kFrames)
        for (bool negative : {false, true})
            for (const SettingsCase &c : kSettings)
                for (bool tbFirst : {true, false})
                    each(
                        f, negative, c, tbFirst,
                        FrameName(f) + "/" + Pitch(negative) + "/" + c.name + "/" + Order(tbFirst));
}

void RegisterAll() {
    ForEachCase([](const FrameCase &f, bool negative, const SettingsCase &c, bool tbFirst,
                   const std::string &name) {
        benchmark::RegisterBenchmark(("run/" + name).c_str(), RunCallback, f, c, negative, tbFirst)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("plain/" + name).c_str(), ReferenceSweep, f, c, negative,
                                     tbFirst)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.05);
    });
}

void PrintTable(const TableReporter &r) {
    std::printf("\nms per frame, medians over the repetitions; run/copy is the median ratio of a"
                " copy and a\nrun callback timed in turn on the same frames (in brackets the"
                " lowest and highest repetition)\n\n");
    std::printf("| frame | pitch | settings | order | copy ms | run ms | run/copy | plain ms "
                "| plain/copy |\n|---|---|---|---|---|---|---|---|---|\n");
    ForEachCase([&r](const FrameCase &f, bool negative, const SettingsCase &c, bool tbFirst,
                     const std::string &name) {
        const double copy = r.Figure("run/" + name, "copy_ms");
        if (copy == 0)
            return;
        const auto [lo, hi] = r.Range("run/" + name);
        std::printf("| %s | %s | %s | %s | %.3f | %.3f | %.2f (%.2f-%.2f) | ", FrameName(f).c_str(),
                    Pitch(negative).c_str(), c.name, Order(tbFirst).c_str(), copy,
                    r.Figure("run/" + name, "run_ms"), r.Figure("run/" + name, "run/copy"), lo, hi);
        const double plain = r.Figure("plain/" + name, "ms");
        if (plain == 0)
            std::printf("- | - |\n");
        else
            std::printf("%.2f | %.0f |\n", plain, plain / copy);
    });
}

int Main(int argc, char **argv) {
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
    Expected<std::unique_ptr<PluginUnderTest>> loaded = PluginUnderTest::Load(pluginPath);
    if (!loaded) {
        std::fprintf(stderr, "border_bench: %s\n", loaded.failure().message.c_str());
        return 1;
    }
    plugin = std::move(*loaded);
    RegisterAll();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    plugin.reset();
    return reporter.failed ? 1 : 0;
}

}  // namespace
}  // namespace kantora::bench

int main(int argc, char **argv) { return kantora::bench::Main(argc, argv); }
