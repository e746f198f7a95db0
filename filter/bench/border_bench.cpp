// Time per frame of ProcessFrame against the plain per-pixel sweeps of the tests, which visit
// the whole frame four times, on common frame sizes with typical settings on every edge.
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "../tests/border_reference.h"
#include "border_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using Repair = void (*)(const uint32_t *, ptrdiff_t, uint32_t *, ptrdiff_t, int32_t, int32_t,
                        const BorderSettings &);

// Mean milliseconds per frame over at least `minSeconds` of repeated runs.
double MillisecondsPerFrame(Repair repair, const std::vector<uint32_t> &src,
                            std::vector<uint32_t> &dst, int32_t w, int32_t h,
                            const BorderSettings &s, double minSeconds) {
    const ptrdiff_t pitch = ptrdiff_t(w) * 4;
    repair(src.data(), pitch, dst.data(), pitch, w, h, s);  // warm-up
    long frames = 0;
    const auto start = Clock::now();
    std::chrono::duration<double> elapsed{};
    do {
        repair(src.data(), pitch, dst.data(), pitch, w, h, s);
        ++frames;
        elapsed = Clock::now() - start;
    } while (elapsed.count() < minSeconds);
    return elapsed.count() * 1000.0 / double(frames);
}

BorderSettings Typical() {
    BorderSettings s;
    s.preview = nullptr;
    ResetBorderSettings(s);
    for (int side = 0; side < kSideCount; ++side) {
        s.blackRegion[side] = 2;
        s.smearRegion[side] = 8;
        s.stretchFactor[side] = 4;
        s.fadeRegion[side] = 16;
    }
    s.borderColour = 0x00102030;
    return s;
}

}  // namespace

int main() {
    std::mt19937 rng(7);
    const BorderSettings typical = Typical();
    BorderSettings none;
    none.preview = nullptr;
    ResetBorderSettings(none);
    std::printf("B=2 S=8 T=4 F=16 on every edge; ms per frame\n");
    std::printf("%-10s %10s %10s %10s %14s %16s\n", "frame", "copy only", "banded", "plain",
                "plain/banded", "banded/copy");
    for (auto [w, h] : {std::pair{720, 576}, {1920, 1080}}) {
        std::vector<uint32_t> src(size_t(w) * h), fast(src.size()), plain(src.size());
        for (uint32_t &p : src)
            p = rng();
        const double copy = MillisecondsPerFrame(ProcessFrame, src, fast, w, h, none, 0.5);
        const double banded = MillisecondsPerFrame(ProcessFrame, src, fast, w, h, typical, 0.5);
        const double slow = MillisecondsPerFrame(border_reference::ProcessFrame, src, plain, w,
                                                 h, typical, 1.0);
        const bool same = fast == plain;
        char frame[32];
        std::snprintf(frame, sizeof frame, "%dx%d", w, h);
        std::printf("%-10s %10.3f %10.3f %10.3f %14.1f %16.2f%s\n", frame, copy, banded, slow,
                    slow / banded, banded / copy, same ? "" : "  OUTPUTS DIFFER");
        if (!same)
            return 1;
    }
    return 0;
}
