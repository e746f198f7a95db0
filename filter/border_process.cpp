#include "border_process.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define BORDER_PROCESS_SSE2 1
#endif
#if BORDER_PROCESS_SSE2
#include <immintrin.h>
// Instructions beyond SSE2 are used only where the processor has them, checked at run time.
#if defined(__GNUC__)
#define BORDER_PROCESS_SSSE3 __attribute__((target("ssse3")))
#define BORDER_PROCESS_AVX2 __attribute__((target("avx2")))
#else
#define BORDER_PROCESS_SSSE3
#define BORDER_PROCESS_AVX2
#endif
#endif
#if defined(__GNUC__)
#define BORDER_PROCESS_NOINLINE __attribute__((noinline))
#else
#define BORDER_PROCESS_NOINLINE
#endif

// Each edge is repaired by one sweep over the lines parallel to it (rows for top and bottom,
// columns for left and right), taken from the edge inward. Lines are counted n = 1, 2, ...
// from the edge; the band rules are stated in the edge's own numbering:
//   top and right:   position p = n, black p <= B, smear and fade from p = B + 1;
//   bottom and left: offset o = n - 1, black o < B, smear and fade from o = B. The line at
//                    offset B, just inside the black band, joins the smear and fade bands
//                    (its fade weight is 0), so no unrepaired line is left between the
//                    black band and the repaired ones.
// Only the lines that can lie in a band are visited. Settings may hold any 32-bit value (a
// script can bring them): band tests and smear arithmetic run in 64 bits, where no product
// overflows and every divisor is positive whenever its band holds a line, and a smear source
// beyond the frame is clamped to the nearest edge line.
//
// Speed: the frame's floor is the copy, every pixel read and written once. So the usual frame
// is repaired a few rows at a time as it is copied: the rows get their side-band pixels while
// they are still in the cache, and the few rows of the top and bottom bands are built straight
// from the source. That is only the same as copy-then-sweep while the top and bottom sweeps never
// reach each other's rows; frames too small for that take the plain order: copy the frame, then
// sweep.
//
// Planning: the host gives the filter no memory but its settings, so every frame's bands are
// planned anew, once, before a pixel is touched, into stack memory sized to the lines they
// hold: a kilobyte or two for the usual values, tens of kilobytes only near the dialog's
// limits. Values beyond what a plan holds, far outside the dialog's range, take sweeps that
// plan each line as they reach it. The pixel loops for this processor are chosen once per
// process.

namespace {

enum class Numbering { Position, Offset };

struct EdgeValues {
    int64_t black, smear, stretch, fade;
};

EdgeValues ValuesOf(const BorderSettings &settings, Side side) {
    return {settings.blackRegion[side], settings.smearRegion[side], settings.stretchFactor[side],
            settings.fadeRegion[side]};
}

// Fade weights with a denominator up to this are done by a 16-bit multiplier.
constexpr int64_t kMaxMultiplierDenominator = 256;

// Scaling a channel c (0..255) by num / den, 0 <= num < den <= 256: c * num / den truncated
// equals (c * m) >> 16 for m = floor(num * 2^16 / den) + 1. The product overshoots c * num /
// den by less than 256 / 2^16 = 1/256, and the fraction of c * num / den is at most
// (den - 1) / den <= 255/256, so the overshoot never reaches the next integer; m < 2^16.
uint16_t FadeMultiplier(int64_t num, int64_t den) {
    return static_cast<uint16_t>((num << 16) / den + 1);
}

// table[c] = c * num / den, truncated, for 0 <= num < den (so a channel never grows). Built by
// stepping c * num one num at a time, which needs no division and never overflows: the
// remainder stays below den + num < 2^33.
void FillFadeTable(uint8_t *table, int64_t num, int64_t den) {
    const uint64_t step = static_cast<uint64_t>(num), divisor = static_cast<uint64_t>(den);
    uint64_t remainder = 0;
    uint8_t quotient = 0;
    table[0] = 0;
    for (int c = 1; c < 256; ++c) {
        remainder += step;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++quotient;
        }
        table[c] = quotient;
    }
}

// How one line's pixels are faded: by a multiplier when there is one, else by the table.
struct Fade {
    uint32_t multiplier = 0;  // 0: use the table
    uint8_t table[256];

    void Plan(int64_t num, int64_t den) {
        if (den <= kMaxMultiplierDenominator) {
            multiplier = FadeMultiplier(num, den);
        } else {
            multiplier = 0;
            FillFadeTable(table, num, den);
        }
    }
};

inline uint32_t FadePixel(uint32_t pixel, uint32_t m) {
    return (((pixel >> 16) & 0xFF) * m >> 16) << 16 | (((pixel >> 8) & 0xFF) * m >> 16) << 8 |
           ((pixel & 0xFF) * m >> 16);
}

inline uint32_t FadePixel(uint32_t pixel, const uint8_t *table) {
    return uint32_t{table[(pixel >> 16) & 0xFF]} << 16 | uint32_t{table[(pixel >> 8) & 0xFF]} << 8 |
           uint32_t{table[pixel & 0xFF]};
}

// The bands of one line, its smear source and its fade weight.
struct LinePlan {
    bool black = false;
    bool smear = false;
    bool fade = false;
    int32_t sourceLine = 0;            // line count n of the smear source, 1..extent
    int64_t fadeNum = 0, fadeDen = 0;  // the fade weight
};

// Lines beyond this count lie in none of the edge's bands.
int32_t LinesToVisit(Numbering numbering, const EdgeValues &v, int32_t extent) {
    const int64_t smearEnd = v.smear + v.stretch;  // first line number past the smear band
    int64_t count = numbering == Numbering::Position ? std::max({v.black, smearEnd - 1, v.fade - 1})
                                                     : std::max({v.black, smearEnd, v.fade});
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, extent));
}

// The bands of line n (a line count, 1..extent).
LinePlan PlanLine(Numbering numbering, int32_t n, int32_t extent, const EdgeValues &v) {
    const int64_t smearEnd = v.smear + v.stretch;
    LinePlan plan;
    if (numbering == Numbering::Position) {
        const int64_t p = n;
        plan.black = p <= v.black;
        if (plan.black)
            return plan;
        // Here B < p, so the divisor S + T - B exceeds p - B > 0 whenever the smear applies.
        if (p < smearEnd) {
            const int64_t q = v.smear + (v.stretch + 1) * (p - v.black) / (smearEnd - v.black);
            plan.smear = true;
            plan.sourceLine = static_cast<int32_t>(std::clamp<int64_t>(q, 1, extent));
        }
        plan.fade = p < v.fade;
        plan.fadeNum = p - v.black;
    } else {
        const int64_t o = n - 1;
        plan.black = o < v.black;
        if (plan.black)
            return plan;
        // Here 0 <= o < S + T whenever the smear applies, so its divisor is positive.
        if (o < smearEnd) {
            const int64_t q = v.smear + (v.stretch + 1) * o / smearEnd;
            plan.smear = true;
            plan.sourceLine = static_cast<int32_t>(std::clamp<int64_t>(q, 0, extent - 1) + 1);
        }
        plan.fade = o < v.fade;
        plan.fadeNum = o - v.black;
    }
    plan.fadeDen = v.fade - v.black;
    return plan;
}

// Memory index of the n-th line from the edge: top rows and right columns count down from
// the far end, bottom rows and left columns up from zero.
inline int32_t IndexOfLine(Numbering numbering, int32_t n, int32_t extent) {
    return numbering == Numbering::Position ? extent - n : n - 1;
}

struct Frame {
    uint32_t *pixels;
    ptrdiff_t pitch;  // bytes, either sign
    int32_t width, height;

    uint32_t *Row(int32_t y) const {
        return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(pixels) + y * pitch);
    }
};

// Stack memory that a frame's plans take their arrays from, front to back.
class PlanSpace {
public:
    PlanSpace(unsigned char *bytes, size_t size) : next_(bytes), left_(size) {}

    // Bytes that Take<T>(count) uses up at most.
    template <class T>
    static constexpr size_t Needed(int32_t count) {
        return sizeof(T) * size_t(count) + alignof(T) - 1;
    }

    // Room for `count` objects of T, or null when too little is left: the plan is then not
    // made, and the frame takes the sweeps that need no plan.
    template <class T>
    T *Take(int32_t count) {
        void *at = next_;
        const size_t bytes = sizeof(T) * size_t(count);
        if (std::align(alignof(T), bytes, at, left_) == nullptr)
            return nullptr;
        next_ = static_cast<unsigned char *>(at) + bytes;
        left_ -= bytes;
        T *objects = static_cast<T *>(at);
        std::uninitialized_default_construct_n(objects, count);
        return objects;
    }

private:
    void *next_;
    size_t left_;
};

// ---------------------------------------------------------------------------------------------
// Kernels: the pixel loops in the widest form this processor runs.

// Four lines of a side band side by side in memory, planned once per frame: the lowest column,
// each pixel's source column in memory order, the channel multipliers of the first two and
// the last two pixels (zero for a pixel moved whole or painted), all ones where a pixel is
// moved whole, and the colour where it is painted. When the sources lie within four columns,
// `window` is the first of them and `pick` the byte shuffle that puts them in order; else
// `window` is -1. Plain arrays, loaded unaligned: a 32-bit host's stack promises no 16-byte
// alignment.
struct SideGroup {
    uint16_t factorLow[8], factorHigh[8];
    uint32_t moved[4], painted[4];
    uint8_t pick[16];
    int32_t first, window;
    int32_t source[4];
    bool anyMoved, anyPainted;
};

// to[x] = from[x] faded by multiplier m; the two may be the same row.
using FadeRowKernel = void (*)(uint32_t *to, const uint32_t *from, int32_t width, uint32_t m);
// Side bands are made a block of rows at a time, so that each group's figures are fetched once
// for them all; the odd rows left over one at a time.
constexpr int32_t kBlockRows = 4;
// The groups on the kernel's rows, row r read from from[r] as it stood before and written to
// to[r].
using SideGroupsKernel = void (*)(const SideGroup *groups, int32_t count,
                                  const uint32_t *const *from, uint32_t *const *to);

// FadeRow's columns [x, width), one at a time.
void FadePixels(uint32_t *to, const uint32_t *from, int32_t x, int32_t width, uint32_t m) {
    for (; x < width; ++x)
        to[x] = FadePixel(from[x], m);
}

#if BORDER_PROCESS_SSE2
// Two pixels' channels as 16-bit lanes (blue, green, red, X): the multiplier for each
// channel, and zero for X.
inline __m128i ChannelFactors(uint32_t m) {
    return _mm_set_epi16(0, short(m), short(m), short(m), 0, short(m), short(m), short(m));
}

// Four pixels faded: each channel widened to 16 bits, multiplied by its lane of `low` (first
// two pixels) or `high` (last two), keeping the high half of the product, and narrowed back.
inline __m128i FadeChannels(__m128i v, __m128i low, __m128i high, __m128i zero) {
    const __m128i l = _mm_mulhi_epu16(_mm_unpacklo_epi8(v, zero), low);
    const __m128i h = _mm_mulhi_epu16(_mm_unpackhi_epi8(v, zero), high);
    return _mm_packus_epi16(l, h);
}

// FadeRow's columns from x on, four at a time; returns the first column left over.
inline int32_t FadeFourAtATime(uint32_t *to, const uint32_t *from, int32_t x, int32_t width,
                               uint32_t m) {
    const __m128i factor = ChannelFactors(m);
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + x),
                         FadeChannels(v, factor, factor, zero));
    }
    return x;
}

void FadeRowSse2(uint32_t *to, const uint32_t *from, int32_t width, uint32_t m) {
    FadePixels(to, from, FadeFourAtATime(to, from, 0, width, m), width, m);
}

// FadeChannels on eight pixels: unpacking and packing stay within each 128-bit half, so the
// pixels keep their order and each half takes its lanes of `low` and `high`.
BORDER_PROCESS_AVX2 inline __m256i FadeChannelsWide(__m256i v, __m256i low, __m256i high,
                                                    __m256i zero) {
    const __m256i l = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(v, zero), low);
    const __m256i h = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(v, zero), high);
    return _mm256_packus_epi16(l, h);
}

// FadeRow's columns [0, returned), eight at a time.
BORDER_PROCESS_AVX2 int32_t FadeEightAtATime(uint32_t *to, const uint32_t *from, int32_t width,
                                             uint32_t m) {
    const __m256i factor = _mm256_broadcastsi128_si256(ChannelFactors(m));
    const __m256i zero = _mm256_setzero_si256();
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(from + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(to + x),
                            FadeChannelsWide(v, factor, factor, zero));
    }
    return x;
}

BORDER_PROCESS_AVX2 void FadeRowAvx2(uint32_t *to, const uint32_t *from, int32_t width,
                                     uint32_t m) {
    const int32_t x = FadeFourAtATime(to, from, FadeEightAtATime(to, from, width, m), width, m);
    FadePixels(to, from, x, width, m);
}

__m128i Load(const void *p) { return _mm_loadu_si128(static_cast<const __m128i *>(p)); }
void Store(void *p, __m128i v) { _mm_storeu_si128(static_cast<__m128i *>(p), v); }

// One group's figures, fetched once for a block of rows.
struct GroupFigures {
    __m128i low, high, moved, painted, pick;
    bool anyMoved, anyPainted;
    const SideGroup &group;

    explicit GroupFigures(const SideGroup &g)
        : low(Load(g.factorLow)),
          high(Load(g.factorHigh)),
          moved(Load(g.moved)),
          painted(Load(g.painted)),
          pick(Load(g.pick)),
          anyMoved(g.anyMoved),
          anyPainted(g.anyPainted),
          group(g) {}

    // The four pixels made from their sources `v`, in memory order.
    __m128i Made(__m128i v, __m128i zero) const {
        __m128i result = FadeChannels(v, low, high, zero);
        if (anyMoved)
            result = _mm_or_si128(result, _mm_and_si128(v, moved));
        if (anyPainted)
            result = _mm_or_si128(result, painted);
        return result;
    }
    __m128i Gathered(const uint32_t *row) const {
        const int32_t *s = group.source;
        return _mm_set_epi32(int(row[s[3]]), int(row[s[2]]), int(row[s[1]]), int(row[s[0]]));
    }
};

// Side-band kernels for blocks of kRows rows, a number fixed when they are compiled so that
// their loops over the rows unroll.

// The sources of each pixel fetched one by one.
template <int32_t kRows>
void SideGroupsGathered(const SideGroup *groups, int32_t count, const uint32_t *const *from,
                        uint32_t *const *to) {
    const __m128i zero = _mm_setzero_si128();
    for (int32_t g = 0; g < count; ++g) {
        const GroupFigures figures(groups[g]);
        for (int32_t r = 0; r < kRows; ++r)
            Store(to[r] + groups[g].first, figures.Made(figures.Gathered(from[r]), zero));
    }
}

// One group on rows [r, rows), its sources in one window picked by one shuffle.
BORDER_PROCESS_SSSE3 inline void SideGroupShuffled(const GroupFigures &figures,
                                                   const uint32_t *const *from, uint32_t *const *to,
                                                   int32_t r, int32_t rows) {
    const __m128i zero = _mm_setzero_si128();
    const int32_t first = figures.group.first, window = figures.group.window;
    for (; r < rows; ++r) {
        const __m128i v = window >= 0 ? _mm_shuffle_epi8(Load(from[r] + window), figures.pick)
                                      : figures.Gathered(from[r]);
        Store(to[r] + first, figures.Made(v, zero));
    }
}

template <int32_t kRows>
BORDER_PROCESS_SSSE3 void SideGroupsShuffled(const SideGroup *groups, int32_t count,
                                             const uint32_t *const *from, uint32_t *const *to) {
    for (int32_t g = 0; g < count; ++g)
        SideGroupShuffled(GroupFigures(groups[g]), from, to, 0, kRows);
}

// The same two rows at a time, one in each 128-bit half of a 256-bit register.
template <int32_t kRows>
BORDER_PROCESS_AVX2 void SideGroupsWide(const SideGroup *groups, int32_t count,
                                        const uint32_t *const *from, uint32_t *const *to) {
    const __m256i zero = _mm256_setzero_si256();
    for (int32_t g = 0; g < count; ++g) {
        const GroupFigures figures(groups[g]);
        const int32_t first = groups[g].first, window = groups[g].window;
        int32_t r = 0;
        if (window >= 0) {
            const __m256i pick = _mm256_broadcastsi128_si256(figures.pick);
            const __m256i low = _mm256_broadcastsi128_si256(figures.low);
            const __m256i high = _mm256_broadcastsi128_si256(figures.high);
            const __m256i moved = _mm256_broadcastsi128_si256(figures.moved);
            const __m256i painted = _mm256_broadcastsi128_si256(figures.painted);
            for (; r + 2 <= kRows; r += 2) {
                const __m256i sources = _mm256_inserti128_si256(
                    _mm256_castsi128_si256(Load(from[r] + window)), Load(from[r + 1] + window), 1);
                const __m256i v = _mm256_shuffle_epi8(sources, pick);
                __m256i result = FadeChannelsWide(v, low, high, zero);
                if (figures.anyMoved)
                    result = _mm256_or_si256(result, _mm256_and_si256(v, moved));
                if (figures.anyPainted)
                    result = _mm256_or_si256(result, painted);
                Store(to[r] + first, _mm256_castsi256_si128(result));
                Store(to[r + 1] + first, _mm256_extracti128_si256(result, 1));
            }
        }
        SideGroupShuffled(figures, from, to, r, kRows);
    }
}
#else
void FadeRowPlain(uint32_t *to, const uint32_t *from, int32_t width, uint32_t m) {
    FadePixels(to, from, 0, width, m);
}
#endif

struct Kernels {
    FadeRowKernel fadeRow;
    // Null: side bands are made one pixel at a time.
    SideGroupsKernel sideGroupsOnBlock;  // kBlockRows rows
    SideGroupsKernel sideGroupsOnRow;    // one row
};

// SSE2 is the least the plug-in asks for; SSSE3 picks a group's sources with one byte shuffle,
// AVX2 fades eight pixels at a time and makes the side bands of two rows at a time. All of them
// give the same bits.
Kernels ChooseKernels() {
#if BORDER_PROCESS_SSE2
#if defined(__GNUC__)
    __builtin_cpu_init();
    // The AVX2 test also asks whether the system saves the 256-bit registers.
    if (__builtin_cpu_supports("avx2"))
        return {FadeRowAvx2, SideGroupsWide<kBlockRows>, SideGroupsWide<1>};
    if (__builtin_cpu_supports("ssse3"))
        return {FadeRowSse2, SideGroupsShuffled<kBlockRows>, SideGroupsShuffled<1>};
#endif
    return {FadeRowSse2, SideGroupsGathered<kBlockRows>, SideGroupsGathered<1>};
#else
    return {FadeRowPlain, nullptr, nullptr};
#endif
}

// Chosen on the first frame of the process, once whatever the thread.
const Kernels &KernelsOfThisProcessor() {
    static const Kernels kernels = ChooseKernels();
    return kernels;
}

// Plans take up to this many lines of an edge: two dialog-range bands, 255 + 255 lines.
constexpr int32_t kMaxPlannedLines = 512;

// ---------------------------------------------------------------------------------------------
// Top and bottom: whole rows.

// One line of a top or bottom sweep.
struct RowLine {
    int32_t source;       // the line whose pixels it takes, itself if it keeps its own;
                          // 0: painted in the border colour
    uint16_t multiplier;  // the fade; 0: taken whole
    bool replaced;        // the sweep replaces it whole before anything reads what it held
};

// A top or bottom sweep planned for one frame: lines 1..Count() are the ones it visits,
// lines 1..Reach() all it reads or writes.
class RowSweep {
public:
    static constexpr size_t SpaceFor(int32_t lines) { return PlanSpace::Needed<RowLine>(lines); }

    // False when the fade needs a table or there is no room: then the sweeps that plan each
    // line as they reach it run.
    bool Plan(Numbering numbering, const EdgeValues &v, int32_t height, uint32_t colour,
              FadeRowKernel fadeRow, PlanSpace &space) {
        numbering_ = numbering;
        colour_ = colour;
        fadeRow_ = fadeRow;
        count_ = reach_ = LinesToVisit(numbering, v, height);
        lines_ = count_ <= kMaxPlannedLines ? space.Take<RowLine>(count_) : nullptr;
        if (lines_ == nullptr)
            return false;
        for (int32_t n = 1; n <= count_; ++n) {
            const LinePlan plan = PlanLine(numbering, n, height, v);
            RowLine &line = lines_[n - 1];
            line.multiplier = 0;
            if (plan.black) {
                line.source = 0;
                line.replaced = true;
                continue;
            }
            if (plan.fade) {
                if (plan.fadeDen > kMaxMultiplierDenominator)
                    return false;
                line.multiplier = FadeMultiplier(plan.fadeNum, plan.fadeDen);
            }
            line.source = plan.smear ? plan.sourceLine : n;
            line.replaced = line.source != n;
            reach_ = std::max(reach_, line.source);
        }
        // Lines read before the sweep gets there must be there to read.
        for (int32_t n = 1; n <= count_; ++n) {
            const int32_t source = lines_[n - 1].source;
            if (source > n && source <= count_)
                lines_[source - 1].replaced = false;
        }
        return true;
    }

    int32_t Count() const { return count_; }
    int32_t Reach() const { return reach_; }

    // Whether the sweep replaces memory row y whole before anything reads what it held.
    bool Replaced(int32_t y, int32_t height) const {
        const int32_t n = numbering_ == Numbering::Position ? height - y : y + 1;
        return n <= count_ && lines_[n - 1].replaced;
    }

    // The sweep into `out`. Lines the sweep has not reached yet are read from `in` (the frame
    // as it stands before the sweep), lines it has written from `out`. With `in` the same
    // frame as `out` this is the sweep in place.
    void Sweep(const Frame &in, const Frame &out) const {
        const int32_t extent = out.height;
        const size_t rowBytes = size_t(out.width) * sizeof(uint32_t);
        for (int32_t n = 1; n <= count_; ++n) {
            const RowLine &line = lines_[n - 1];
            uint32_t *row = out.Row(IndexOfLine(numbering_, n, extent));
            if (line.source == 0) {
                std::fill(row, row + out.width, colour_);
                continue;
            }
            const Frame &holder = line.source < n ? out : in;
            const uint32_t *from = holder.Row(IndexOfLine(numbering_, line.source, extent));
            if (line.multiplier != 0)
                fadeRow_(row, from, out.width, line.multiplier);
            else if (from != row)
                std::memcpy(row, from, rowBytes);
        }
    }

private:
    Numbering numbering_ = Numbering::Position;
    uint32_t colour_ = 0;
    FadeRowKernel fadeRow_ = nullptr;
    int32_t count_ = 0, reach_ = 0;
    RowLine *lines_ = nullptr;
};

// to[x] = faded from[x], by either form of weight.
void FadeRow(uint32_t *to, const uint32_t *from, int32_t width, const Fade &fade,
             FadeRowKernel fadeRow) {
    if (fade.multiplier != 0) {
        fadeRow(to, from, width, fade.multiplier);
        return;
    }
    for (int32_t x = 0; x < width; ++x)
        to[x] = FadePixel(from[x], fade.table);
}

// A top or bottom sweep in place for any values, each line planned as the sweep reaches it.
void SweepRowsLineByLine(const Frame &frame, Numbering numbering, const EdgeValues &v,
                         uint32_t colour, FadeRowKernel fadeRow) {
    const int32_t extent = frame.height, count = LinesToVisit(numbering, v, extent);
    const size_t rowBytes = size_t(frame.width) * sizeof(uint32_t);
    Fade weight;
    for (int32_t n = 1; n <= count; ++n) {
        const LinePlan plan = PlanLine(numbering, n, extent, v);
        uint32_t *row = frame.Row(IndexOfLine(numbering, n, extent));
        if (plan.black) {
            std::fill(row, row + frame.width, colour);
            continue;
        }
        const int32_t source = plan.smear ? plan.sourceLine : n;
        const uint32_t *from = frame.Row(IndexOfLine(numbering, source, extent));
        if (plan.fade) {
            weight.Plan(plan.fadeNum, plan.fadeDen);
            FadeRow(row, from, frame.width, weight, fadeRow);
        } else if (from != row) {
            std::memcpy(row, from, rowBytes);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Left and right: a few pixels of every row.

// One line of a side sweep: its memory column, the column it takes, and its fade.
struct SideLine {
    int32_t column, source;
    uint16_t multiplier;  // 0: moved whole, all 32 bits
};

// One side's sweep planned once for all rows: one operation per line in the sweep's order,
// the black band's lines first (painted), then each pixel = its smear source, faded or moved
// whole.
class SideSweep {
public:
    static constexpr size_t SpaceFor(int32_t lines) {
        return PlanSpace::Needed<SideLine>(lines) + PlanSpace::Needed<SideGroup>((lines + 3) / 4);
    }

    // False when the fade needs a table or there is no room: then the sweeps that plan each
    // line as they reach it run. With no kernel for groups the pixels are made one by one.
    bool Plan(Numbering numbering, const EdgeValues &v, int32_t width, uint32_t colour,
              const Kernels &kernels, PlanSpace &space) {
        const int32_t count = LinesToVisit(numbering, v, width);
        lines_ = count <= kMaxPlannedLines ? space.Take<SideLine>(count) : nullptr;
        if (lines_ == nullptr)
            return false;
        colour_ = colour;
        lineCount_ = count;
        blackLines_ = 0;
        bool readsOnlyLinesAhead = true;
        for (int32_t n = 1; n <= count; ++n) {
            const LinePlan plan = PlanLine(numbering, n, width, v);
            SideLine &line = lines_[n - 1];
            line.column = line.source = IndexOfLine(numbering, n, width);
            line.multiplier = 0;
            if (plan.black) {
                ++blackLines_;  // black lines are the first ones
                continue;
            }
            if (plan.fade) {
                if (plan.fadeDen > kMaxMultiplierDenominator)
                    return false;
                line.multiplier = FadeMultiplier(plan.fadeNum, plan.fadeDen);
            }
            const int32_t sourceLine = plan.smear ? plan.sourceLine : n;
            readsOnlyLinesAhead &= sourceLine >= n;
            line.source = IndexOfLine(numbering, sourceLine, width);
        }
        // Operations that work on the pixels as they stood before the sweep can run four at a
        // time; the last group is filled up with lines that keep their value, which must lie
        // inside the row.
        groupCount_ = (lineCount_ + 3) / 4;
        grouped_ =
            kernels.sideGroupsOnBlock != nullptr && readsOnlyLinesAhead && groupCount_ * 4 <= width;
        if (!grouped_)
            return true;
        groups_ = space.Take<SideGroup>(groupCount_);
        if (groups_ == nullptr)
            return false;
        onBlock_ = kernels.sideGroupsOnBlock;
        onRow_ = kernels.sideGroupsOnRow;
        PlanGroups(numbering, width);
        // Memory columns the sweep writes (from its edge) and reads.
        const int32_t written = groupCount_ * 4;
        writtenFirst_ = numbering == Numbering::Position ? width - written : 0;
        writtenEnd_ = writtenFirst_ + written;
        readEnd_ = 0;
        for (int32_t k = blackLines_; k < lineCount_; ++k)
            readEnd_ = std::max(readEnd_, lines_[k].source + 1);
        return true;
    }

    // True when the sweep only ever reads the row as it stood before the sweep, so that it
    // can read one row and write another.
    bool Grouped() const { return grouped_; }
    int32_t WrittenFirst() const { return writtenFirst_; }
    int32_t WrittenEnd() const { return writtenEnd_; }
    int32_t ReadEnd() const { return readEnd_; }

    // The sweep on one row: `from` as it stood before, `to` the row written, the same row
    // unless Grouped().
    void Apply(const uint32_t *from, uint32_t *to) const {
        if (grouped_) {
            onRow_(groups_, groupCount_, &from, &to);
            return;
        }
        uint32_t *row = to;
        for (int32_t k = 0; k < blackLines_; ++k)
            row[lines_[k].column] = colour_;
        for (int32_t k = blackLines_; k < lineCount_; ++k) {
            const SideLine &line = lines_[k];
            const uint32_t value = row[line.source];
            row[line.column] = line.multiplier == 0 ? value : FadePixel(value, line.multiplier);
        }
    }

    // Grouped() only: the sweep on kBlockRows rows, each read from `from` and written to `to`.
    void ApplyToBlock(const uint32_t *const *from, uint32_t *const *to) const {
        onBlock_(groups_, groupCount_, from, to);
    }

private:
    uint32_t colour_ = 0;
    int32_t lineCount_ = 0, blackLines_ = 0;
    SideLine *lines_ = nullptr;
    bool grouped_ = false;
    int32_t groupCount_ = 0;
    SideGroup *groups_ = nullptr;
    SideGroupsKernel onBlock_ = nullptr, onRow_ = nullptr;
    int32_t writtenFirst_ = 0, writtenEnd_ = 0, readEnd_ = 0;

    void PlanGroups(Numbering numbering, int32_t width) {
        for (int32_t g = 0; g < groupCount_; ++g) {
            SideGroup &group = groups_[g];
            group.anyMoved = group.anyPainted = false;
            int32_t lowest = width, highest = -1;  // sources read
            bool paintedLane[4];
            for (int32_t i = 0; i < 4; ++i) {
                const int32_t k = 4 * g + i;  // sweep order
                // Right columns run leftward in the sweep, left columns rightward.
                const int32_t lane = numbering == Numbering::Position ? 3 - i : i;
                const int32_t column = k < lineCount_ ? lines_[k].column
                                       : numbering == Numbering::Position
                                           ? lines_[4 * g].column - i
                                           : lines_[4 * g].column + i;
                const bool painted = k < blackLines_;
                const uint32_t m = k < lineCount_ ? lines_[k].multiplier : 0;
                group.source[lane] = k < lineCount_ ? lines_[k].source : column;
                uint16_t *factor =
                    lane < 2 ? group.factorLow + 4 * lane : group.factorHigh + 4 * (lane - 2);
                factor[0] = factor[1] = factor[2] = static_cast<uint16_t>(m);
                factor[3] = 0;
                group.moved[lane] = m == 0 && !painted ? 0xFFFFFFFFu : 0;
                group.painted[lane] = painted ? colour_ : 0;
                group.anyMoved |= m == 0 && !painted;
                group.anyPainted |= painted;
                paintedLane[lane] = painted;
                if (!painted) {
                    lowest = std::min(lowest, group.source[lane]);
                    highest = std::max(highest, group.source[lane]);
                }
                if (lane == 0)
                    group.first = column;
            }
            // The window is read whole, so it must lie in the row.
            group.window = std::clamp(lowest, 0, std::max(0, width - 4));
            if (width < 4 || highest >= group.window + 4)
                group.window = -1;
            std::fill(std::begin(group.pick), std::end(group.pick), uint8_t{0});
            for (int32_t lane = 0; lane < 4 && group.window >= 0; ++lane)
                for (int32_t b = 0; b < 4 && !paintedLane[lane]; ++b)
                    group.pick[4 * lane + b] = uint8_t(4 * (group.source[lane] - group.window) + b);
        }
    }
};

// A side sweep in place for any values. Rows do not depend on one another, so the band
// columns are planned a batch at a time and each batch is applied to every row; within a row
// the columns still go edge-inward.
void SweepColumns(const Frame &frame, Numbering numbering, const EdgeValues &v, uint32_t colour) {
    constexpr int32_t kBatch = 32;
    const int32_t extent = frame.width;
    const int32_t count = LinesToVisit(numbering, v, extent);
    LinePlan plans[kBatch];
    Fade weights[kBatch];
    int32_t columns[kBatch];
    int32_t sourceColumns[kBatch];
    for (int32_t first = 1; first <= count; first += kBatch) {
        const int32_t lines = std::min(kBatch, count - first + 1);
        for (int32_t i = 0; i < lines; ++i) {
            plans[i] = PlanLine(numbering, first + i, extent, v);
            if (plans[i].fade)
                weights[i].Plan(plans[i].fadeNum, plans[i].fadeDen);
            columns[i] = IndexOfLine(numbering, first + i, extent);
            sourceColumns[i] =
                plans[i].smear ? IndexOfLine(numbering, plans[i].sourceLine, extent) : columns[i];
        }
        for (int32_t y = 0; y < frame.height; ++y) {
            uint32_t *row = frame.Row(y);
            for (int32_t i = 0; i < lines; ++i) {
                const LinePlan &plan = plans[i];
                uint32_t value = plan.black ? colour : row[sourceColumns[i]];
                if (!plan.black && plan.fade)
                    value = weights[i].multiplier != 0 ? FadePixel(value, weights[i].multiplier)
                                                       : FadePixel(value, weights[i].table);
                row[columns[i]] = value;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The frame.

struct Sides {
    SideSweep right, left;
    // Both sweeps only read the row as it stood before them and never meet: a row can then be
    // copied and its side bands made from the source row, never reading what was just written.
    bool apart = false;

    bool Plan(const BorderSettings &s, int32_t width, const Kernels &kernels, PlanSpace &space) {
        if (!right.Plan(Numbering::Position, ValuesOf(s, Right), width, s.borderColour, kernels,
                        space) ||
            !left.Plan(Numbering::Offset, ValuesOf(s, Left), width, s.borderColour, kernels, space))
            return false;
        // The right sweep runs first: the left one must neither read nor write its columns.
        apart = right.Grouped() && left.Grouped() &&
                std::max(left.WrittenEnd(), left.ReadEnd()) <= right.WrittenFirst();
        return true;
    }

    void Apply(uint32_t *row) const {
        right.Apply(row, row);
        left.Apply(row, row);
    }

    // to = from with its side bands made.
    void CopyRowWithBands(uint32_t *to, const uint32_t *from, int32_t width) const {
        if (!apart || to == from) {
            if (to != from)
                std::memcpy(to, from, size_t(width) * sizeof(uint32_t));
            Apply(to);
            return;
        }
        std::memcpy(to, from, size_t(width) * sizeof(uint32_t));
        right.Apply(from, to);
        left.Apply(from, to);
    }
};

// Rows [first, end): copied, with their side bands.
void CopyWithSides(const Frame &in, const Frame &out, int32_t first, int32_t end,
                   const Sides &sides) {
    int32_t y = first;
    if (sides.apart && in.pixels != out.pixels) {
        // A few rows at a time: copied, then their band columns made from the source rows.
        // Rows that lie end to end in both frames are copied whole by one call; else only the
        // columns between the bands, row by row.
        constexpr int32_t kRows = kBlockRows;
        const size_t rowBytes = size_t(out.width) * sizeof(uint32_t);
        const bool endToEnd = in.pitch == out.pitch && size_t(std::abs(out.pitch)) == rowBytes;
        const int32_t lowest = out.pitch > 0 ? 0 : kRows - 1;  // the block's first row in memory
        const int32_t middle = sides.left.WrittenEnd();
        const size_t middleBytes = size_t(sides.right.WrittenFirst() - middle) * sizeof(uint32_t);
        for (; y + kRows <= end; y += kRows) {
            const uint32_t *from[kRows];
            uint32_t *to[kRows];
            for (int32_t r = 0; r < kRows; ++r) {
                from[r] = in.Row(y + r);
                to[r] = out.Row(y + r);
            }
            if (endToEnd)
                std::memcpy(to[lowest], from[lowest], kRows * rowBytes);
            else
                for (int32_t r = 0; r < kRows; ++r)
                    std::memcpy(to[r] + middle, from[r] + middle, middleBytes);
            sides.right.ApplyToBlock(from, to);
            sides.left.ApplyToBlock(from, to);
        }
    }
    for (; y < end; ++y)
        sides.CopyRowWithBands(out.Row(y), in.Row(y), out.width);
}

// Rows [first, end) in place: their side bands.
void SidesOn(const Frame &out, int32_t first, int32_t end, const Sides &sides) {
    int32_t y = first;
    if (sides.right.Grouped() && sides.left.Grouped()) {
        constexpr int32_t kRows = kBlockRows;
        for (; y + kRows <= end; y += kRows) {
            uint32_t *rows[kRows];
            for (int32_t r = 0; r < kRows; ++r)
                rows[r] = out.Row(y + r);
            sides.right.ApplyToBlock(rows, rows);
            sides.left.ApplyToBlock(rows, rows);
        }
    }
    for (; y < end; ++y)
        sides.Apply(out.Row(y));
}

// Rows [first, end) of an edge's lines copied with their side bands, but for those that the
// edge's sweep replaces whole before reading them.
void CopyWithSidesUnlessReplaced(const Frame &in, const Frame &out, int32_t first, int32_t end,
                                 const RowSweep &edge, const Sides &sides) {
    for (int32_t y = first; y < end;) {
        if (edge.Replaced(y, out.height)) {
            ++y;
            continue;
        }
        int32_t runEnd = y + 1;
        while (runEnd < end && !edge.Replaced(runEnd, out.height))
            ++runEnd;
        CopyWithSides(in, out, y, runEnd, sides);
        y = runEnd;
    }
}

// Top and bottom bands reach rows of their own only. With the top and bottom sweeps first,
// they build their rows from the source and then get their side bands; the rows they read
// are copied only after them, so that the source may also be the destination. With the sides
// first, the rows are copied with their side bands and the bands' rows then swept in place
// while still in the cache.
void ProcessByRows(const Frame &in, const Frame &out, const RowSweep &top, const RowSweep &bottom,
                   const Sides &sides, bool topBottomFirst) {
    const int32_t h = out.height;
    if (topBottomFirst) {
        bottom.Sweep(in, out);
        SidesOn(out, 0, bottom.Count(), sides);
        CopyWithSides(in, out, bottom.Count(), bottom.Reach(), sides);
        CopyWithSides(in, out, bottom.Reach(), h - top.Reach(), sides);
        top.Sweep(in, out);
        SidesOn(out, h - top.Count(), h, sides);
        CopyWithSides(in, out, h - top.Reach(), h - top.Count(), sides);
    } else {
        CopyWithSidesUnlessReplaced(in, out, 0, bottom.Reach(), bottom, sides);
        bottom.Sweep(out, out);
        CopyWithSides(in, out, bottom.Reach(), h - top.Reach(), sides);
        CopyWithSidesUnlessReplaced(in, out, h - top.Reach(), h, top, sides);
        top.Sweep(out, out);
    }
}

// Every row copied; nothing to copy when the frame is repaired in place.
void CopyFrame(const Frame &in, const Frame &out) {
    if (in.pixels == out.pixels && in.pitch == out.pitch)
        return;
    for (int32_t y = 0; y < out.height; ++y)
        std::memcpy(out.Row(y), in.Row(y), size_t(out.width) * sizeof(uint32_t));
}

// The plain order: copy the whole frame, then the two passes in the settings' order.
template <class TopBottomPass, class SidePass>
void CopyThenSweep(const Frame &in, const Frame &out, bool topBottomFirst,
                   TopBottomPass topBottomPass, SidePass sidePass) {
    CopyFrame(in, out);
    if (topBottomFirst) {
        topBottomPass();
        sidePass();
    } else {
        sidePass();
        topBottomPass();
    }
}

// The frame repaired by plans made in `space`; false, with nothing written, when its bands
// hold what the plans cannot.
bool RepairAsPlanned(const Frame &in, const Frame &out, const BorderSettings &s,
                     const Kernels &kernels, PlanSpace &space) {
    RowSweep top, bottom;
    Sides sides;
    if (!top.Plan(Numbering::Position, ValuesOf(s, Top), out.height, s.borderColour,
                  kernels.fadeRow, space) ||
        !bottom.Plan(Numbering::Offset, ValuesOf(s, Bottom), out.height, s.borderColour,
                     kernels.fadeRow, space) ||
        !sides.Plan(s, out.width, kernels, space))
        return false;
    if (int64_t{top.Reach()} + bottom.Reach() <= out.height) {
        ProcessByRows(in, out, top, bottom, sides, s.processTopBottomFirst);
    } else {
        CopyThenSweep(
            in, out, s.processTopBottomFirst,
            [&] {
                top.Sweep(out, out);
                bottom.Sweep(out, out);
            },
            [&] { SidesOn(out, 0, out.height, sides); });
    }
    return true;
}

// Bytes of plan space for the bands of `s` on the frame; 0 when an edge holds more lines
// than a plan takes.
size_t PlanSpaceFor(const BorderSettings &s, int32_t width, int32_t height) {
    const int32_t top = LinesToVisit(Numbering::Position, ValuesOf(s, Top), height);
    const int32_t bottom = LinesToVisit(Numbering::Offset, ValuesOf(s, Bottom), height);
    const int32_t right = LinesToVisit(Numbering::Position, ValuesOf(s, Right), width);
    const int32_t left = LinesToVisit(Numbering::Offset, ValuesOf(s, Left), width);
    if (std::max({top, bottom, right, left}) > kMaxPlannedLines)
        return 0;
    return RowSweep::SpaceFor(top) + RowSweep::SpaceFor(bottom) + SideSweep::SpaceFor(right) +
           SideSweep::SpaceFor(left);
}

constexpr size_t kMaxPlanSpace =
    2 * RowSweep::SpaceFor(kMaxPlannedLines) + 2 * SideSweep::SpaceFor(kMaxPlannedLines);

// The frame repaired by plans in kBytes of stack. Kept out of line, so that only a frame whose
// bands need that much reserves it.
template <size_t kBytes>
BORDER_PROCESS_NOINLINE bool RepairInSpaceOf(const Frame &in, const Frame &out,
                                             const BorderSettings &s, const Kernels &kernels) {
    alignas(16) unsigned char bytes[kBytes];
    PlanSpace space(bytes, kBytes);
    return RepairAsPlanned(in, out, s, kernels, space);
}

// The plans get the smallest of a few sizes of stack that holds them, at most four times what
// they take: a couple of kilobytes for the usual bands.
bool RepairPlanned(const Frame &in, const Frame &out, const BorderSettings &s,
                   const Kernels &kernels) {
    static_assert(kMaxPlanSpace > 32 * 1024, "the largest room is the last");
    const size_t bytes = PlanSpaceFor(s, out.width, out.height);
    if (bytes == 0)
        return false;
    if (bytes <= 2 * 1024)
        return RepairInSpaceOf<2 * 1024>(in, out, s, kernels);
    if (bytes <= 8 * 1024)
        return RepairInSpaceOf<8 * 1024>(in, out, s, kernels);
    if (bytes <= 32 * 1024)
        return RepairInSpaceOf<32 * 1024>(in, out, s, kernels);
    return RepairInSpaceOf<kMaxPlanSpace>(in, out, s, kernels);
}

// Any values: copy the whole frame, then sweeps that plan each line as they reach it. Kept out
// of line, so that their batch of column plans stays off the stack of the usual frame.
BORDER_PROCESS_NOINLINE void RepairLineByLine(const Frame &in, const Frame &out,
                                              const BorderSettings &s, const Kernels &kernels) {
    const uint32_t colour = s.borderColour;
    CopyThenSweep(
        in, out, s.processTopBottomFirst,
        [&] {
            SweepRowsLineByLine(out, Numbering::Position, ValuesOf(s, Top), colour,
                                kernels.fadeRow);
            SweepRowsLineByLine(out, Numbering::Offset, ValuesOf(s, Bottom), colour,
                                kernels.fadeRow);
        },
        [&] {
            SweepColumns(out, Numbering::Position, ValuesOf(s, Right), colour);
            SweepColumns(out, Numbering::Offset, ValuesOf(s, Left), colour);
        });
}

}  // namespace

void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                  int32_t width, int32_t height, const BorderSettings &settings) {
    if (width <= 0 || height <= 0)
        return;
    // The source is only ever read; the type serves both frames.
    const Frame in{const_cast<uint32_t *>(src), srcPitch, width, height};
    const Frame out{dst, dstPitch, width, height};
    const Kernels &kernels = KernelsOfThisProcessor();
    if (!RepairPlanned(in, out, settings, kernels))
        RepairLineByLine(in, out, settings, kernels);
}
