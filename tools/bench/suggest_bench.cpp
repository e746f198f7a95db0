// Speed of the settings suggestion: measuring one frame (BorderSurvey::Add), timed against a
// plain copy of the same frame in the same iteration (the cost of merely touching every
// pixel once), and choosing the values from the measurements of a whole sample of frames
// (SuggestSettings over BorderSurvey::FramesWanted() frames).
//
//   suggest_bench [Google Benchmark options]
//
// measure/copy is the median over the iterations of the two times' ratio, so that both are
// measured under the same load.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "damaged_clip.h"
#include "suggest_settings.h"

namespace kantora::tools {
namespace {

using Clock = std::chrono::steady_clock;

struct FrameSize {
    int32_t width, height;
};
const FrameSize kSizes[] = {{720, 576}, {1920, 1080}};

// A few frames of a damaged clip, to measure in turn.
std::vector<clips::Frame> SampleFrames(FrameSize size, int32_t count) {
    clips::ClipRecipe recipe;
    recipe.width = size.width;
    recipe.height = size.height;
    recipe.frames = count;
    recipe.damage = clips::kHeadSwitching | clips::kDarkColumns | clips::kBrightTopLine;
    clips::DamagedClip clip(recipe);
    std::vector<clips::Frame> frames;
    clips::Frame frame;
    while (clip.Next(frame))
        frames.push_back(frame);
    return frames;
}

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

void MeasureFrame(benchmark::State &state, FrameSize size) {
    const std::vector<clips::Frame> frames = SampleFrames(size, 8);
    std::vector<uint8_t> copy(frames[0].bgrx.size());
    suggest::BorderSurvey survey(size.width, size.height);
    std::vector<double> ratios;
    size_t turn = 0;
    for (auto _ : state) {
        const clips::Frame &frame = frames[turn++ % frames.size()];
        auto start = Clock::now();
        std::memcpy(copy.data(), frame.bgrx.data(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        const double copied = std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        survey.Add(frame.bgrx.data(), ptrdiff_t(size.width) * 4, size.width, size.height);
        const double measured = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(measured);
        ratios.push_back(measured / copied);
    }
    state.counters["measure/copy"] = Median(ratios);
}

void ChooseValues(benchmark::State &state, FrameSize size) {
    const std::vector<clips::Frame> frames = SampleFrames(size, 8);
    suggest::BorderSurvey survey(size.width, size.height);
    for (int32_t i = 0; i < suggest::BorderSurvey::FramesWanted(); ++i) {
        const clips::Frame &frame = frames[size_t(i) % frames.size()];
        survey.Add(frame.bgrx.data(), ptrdiff_t(size.width) * 4, size.width, size.height);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(suggest::SuggestSettings(survey));
}

int Main(int argc, char **argv) {
    for (const FrameSize size : kSizes) {
        const std::string name = std::to_string(size.width) + "x" + std::to_string(size.height);
        benchmark::RegisterBenchmark(("measure/" + name).c_str(), MeasureFrame, size)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("choose/" + name + "/" + std::to_string(suggest::BorderSurvey::FramesWanted()) +
             " frames")
                .c_str(),
            ChooseValues, size)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

}  // namespace
}  // namespace kantora::tools

int main(int argc, char **argv) { return kantora::tools::Main(argc, argv); }
