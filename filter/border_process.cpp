#include "border_process.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

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
// reach each other's rows; frames too small for that, and settings beyond the dialog's range,
// take the plain order: copy the frame, then sweep.

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
uint32_t FadeMultiplier(int64_t num, int64_t den) {
    return static_cast<uint32_t>((num << 16) / den + 1);
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

// What the processor has beyond SSE2, asked once.
struct Processor {
    bool ssse3 = false, avx2 = false;
};
const Processor &ThisProcessor() {
    static const Processor processor = [] {
        Processor p;
#if defined(__GNUC__)
        __builtin_cpu_init();
        p.ssse3 = __builtin_cpu_supports("ssse3") != 0;
        p.avx2 = __builtin_cpu_supports("avx2") != 0;  // also asks whether the system saves YMM
#endif
        return p;
    }();
    return processor;
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
BORDER_PROCESS_AVX2 int32_t FadeRowWide(uint32_t *to, const uint32_t *from, int32_t width,
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
#endif

// to[x] = faded from[x]; the two may be the same row.
void FadeRow(uint32_t *to, const uint32_t *from, int32_t width, const Fade &fade) {
    int32_t x = 0;
    if (fade.multiplier == 0) {
        for (; x < width; ++x)
            to[x] = FadePixel(from[x], fade.table);
        return;
    }
    const uint32_t m = fade.multiplier;
#if BORDER_PROCESS_SSE2
    if (ThisProcessor().avx2)
        x = FadeRowWide(to, from, width, m);
    const __m128i factor = ChannelFactors(m);
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + x), FadeChannels(v, factor, factor, zero));
    }
#endif
    for (; x < width; ++x)
        to[x] = FadePixel(from[x], m);
}

struct LinePlan {
    bool black = false;
    bool smear = false;
    bool fade = false;
    int32_t sourceLine = 0;  // line count n of the smear source, 1..extent
    int64_t fadeNum = 0, fadeDen = 0;  // the fade weight
    Fade weight;                       // planned only when asked for
};

// Lines beyond this count lie in none of the edge's bands.
int32_t LinesToVisit(Numbering numbering, const EdgeValues &v, int32_t extent) {
    const int64_t smearEnd = v.smear + v.stretch;  // first line number past the smear band
    int64_t count = numbering == Numbering::Position
                        ? std::max({v.black, smearEnd - 1, v.fade - 1})
                        : std::max({v.black, smearEnd, v.fade});
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, extent));
}

// The bands of line n (a line count, 1..extent), its smear source and its fade weight.
void PlanLine(Numbering numbering, int32_t n, int32_t extent, const EdgeValues &v, LinePlan &plan,
              bool planFade = true) {
    const int64_t smearEnd = v.smear + v.stretch;
    plan.smear = plan.fade = false;
    if (numbering == Numbering::Position) {
        const int64_t p = n;
        plan.black = p <= v.black;
        if (plan.black)
            return;
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
            return;
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
    if (plan.fade && planFade)
        plan.weight.Plan(plan.fadeNum, plan.fadeDen);
}

struct Frame {
    uint32_t *pixels;
    ptrdiff_t pitch;  // bytes, either sign
    int32_t width, height;

    uint32_t *Row(int32_t y) const {
        return reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(pixels) + y * pitch);
    }
};

// Memory index of the n-th line from the edge: top rows and right columns count down from
// the far end, bottom rows and left columns up from zero.
inline int32_t IndexOfLine(Numbering numbering, int32_t n, int32_t extent) {
    return numbering == Numbering::Position ? extent - n : n - 1;
}

// ---------------------------------------------------------------------------------------------
// Top and bottom: whole rows.

// The lines of a top or bottom edge: lines 1..reach are all its sweep reads or writes.
struct RowEdge {
    static constexpr int32_t kTrackedLines = 512;  // two dialog-range bands

    Numbering numbering;
    EdgeValues values;
    int32_t count = 0;  // lines visited
    int32_t reach = 0;  // lines visited or read as smear sources
    // replaced[n]: the sweep replaces line n whole before anything reads what it held (a
    // black line, or one smeared from another that no line before it reads).
    bool replaced[kTrackedLines + 1] = {};

    RowEdge(Numbering n, const EdgeValues &v, int32_t height) : numbering(n), values(v) {
        count = LinesToVisit(numbering, values, height);
        reach = count;
        const bool tracked = count <= kTrackedLines;
        LinePlan plan;
        for (int32_t line = 1; line <= count; ++line) {
            PlanLine(numbering, line, height, values, plan, false);
            const int32_t source = plan.smear ? plan.sourceLine : line;
            reach = std::max(reach, source);
            if (!tracked)
                continue;
            if (plan.black || source != line)
                replaced[line] = true;
        }
        // Lines read before the sweep gets there must be there to read.
        if (tracked)
            for (int32_t line = 1; line <= count; ++line) {
                PlanLine(numbering, line, height, values, plan, false);
                if (plan.smear && plan.sourceLine > line && plan.sourceLine <= count)
                    replaced[plan.sourceLine] = false;
            }
    }

    int32_t LineOfRow(int32_t y, int32_t height) const {
        return numbering == Numbering::Position ? height - y : y + 1;
    }
    bool Replaced(int32_t y, int32_t height) const {
        const int32_t line = LineOfRow(y, height);
        return line <= count && count <= kTrackedLines && replaced[line];
    }
};

// The sweep over the rows of one edge, into `out`. Lines the sweep has not reached yet are
// read from `in` (the frame as it stands before the sweep), lines it has written from `out`.
// With `in` the same frame as `out` this is the sweep in place.
void SweepRows(const Frame &in, const Frame &out, const RowEdge &edge, uint32_t colour) {
    const int32_t extent = out.height;
    const size_t rowBytes = size_t(out.width) * sizeof(uint32_t);
    LinePlan plan;
    for (int32_t n = 1; n <= edge.count; ++n) {
        PlanLine(edge.numbering, n, extent, edge.values, plan);
        uint32_t *row = out.Row(IndexOfLine(edge.numbering, n, extent));
        if (plan.black) {
            std::fill(row, row + out.width, colour);
            continue;
        }
        const int32_t source = plan.smear ? plan.sourceLine : n;
        const uint32_t *from = (source < n ? out : in).Row(IndexOfLine(edge.numbering, source, extent));
        if (plan.fade)
            FadeRow(row, from, out.width, plan.weight);
        else if (from != row)
            std::memcpy(row, from, rowBytes);
    }
}

// ---------------------------------------------------------------------------------------------
// Left and right: a few pixels of every row.

// One side's sweep planned once for all rows: one operation per line in the sweep's order,
// the black band's lines first (painted), then each pixel = its smear source, faded or moved
// whole.
class SideSweep {
public:
    // False when the sweep needs more lines or a fade table: then the plain column sweep runs.
    bool Plan(Numbering numbering, const EdgeValues &v, int32_t width, uint32_t colour) {
        const int32_t count = LinesToVisit(numbering, v, width);
        if (count > kMaxLines)
            return false;
        colour_ = colour;
        lineCount_ = count;
        blackLines_ = 0;
        bool readsOnlyLinesAhead = true;
        LinePlan plan;
        for (int32_t n = 1; n <= count; ++n) {
            PlanLine(numbering, n, width, v, plan, false);
            const int32_t k = n - 1;
            column_[k] = IndexOfLine(numbering, n, width);
            source_[k] = column_[k];
            multiplier_[k] = 0;
            if (plan.black) {
                ++blackLines_;  // black lines are the first ones
                continue;
            }
            if (plan.fade) {
                if (plan.fadeDen > kMaxMultiplierDenominator)
                    return false;
                multiplier_[k] = FadeMultiplier(plan.fadeNum, plan.fadeDen);
            }
            const int32_t sourceLine = plan.smear ? plan.sourceLine : n;
            readsOnlyLinesAhead &= sourceLine >= n;
            source_[k] = IndexOfLine(numbering, sourceLine, width);
        }
        // Operations that work on the pixels as they stood before the sweep can run four at a
        // time; the last group is filled up with lines that keep their value, which must lie
        // inside the row.
        const int32_t groups = (lineCount_ + 3) / 4;
        grouped_ = kCanGroup && readsOnlyLinesAhead && groups * 4 <= width;
        if (!grouped_)
            return true;
        PlanGroups(numbering, groups, width);
        // Memory columns the sweep writes (from its edge) and reads.
        const int32_t written = groups * 4;
        writtenFirst_ = numbering == Numbering::Position ? width - written : 0;
        writtenEnd_ = writtenFirst_ + written;
        readEnd_ = 0;
        for (int32_t k = blackLines_; k < lineCount_; ++k)
            readEnd_ = std::max(readEnd_, source_[k] + 1);
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
#if BORDER_PROCESS_SSE2
        if (grouped_) {
            ApplyToBlock(&from, &to, 1);
            return;
        }
#endif
        uint32_t *row = to;
        for (int32_t k = 0; k < blackLines_; ++k)
            row[column_[k]] = colour_;
        for (int32_t k = blackLines_; k < lineCount_; ++k) {
            const uint32_t value = row[source_[k]];
            row[column_[k]] = multiplier_[k] == 0 ? value : FadePixel(value, multiplier_[k]);
        }
    }

    // Grouped() only: the sweep on `rows` rows at once, each read from `from` and written to
    // `to`, so that each group's figures are fetched once for them all.
    static constexpr int32_t kBlockRows = 4;
    void ApplyToBlock(const uint32_t *const *from, uint32_t *const *to, int32_t rows) const {
#if BORDER_PROCESS_SSE2
        if (wide_)
            ApplyGroupsWide(from, to, rows);
        else if (shuffle_)
            ApplyGroupsByShuffle(from, to, rows);
        else
            ApplyGroups(from, to, rows);
#else
        (void)from, (void)to, (void)rows;
#endif
    }

private:
    static constexpr int32_t kMaxLines = 512;  // two dialog-range bands: 255 + 255 lines
    static constexpr int32_t kMaxGroups = kMaxLines / 4;

    uint32_t colour_ = 0;
    int32_t lineCount_ = 0, blackLines_ = 0;
    int32_t column_[kMaxLines];
    int32_t source_[kMaxLines];
    uint32_t multiplier_[kMaxLines];  // 0: moved whole, all 32 bits
    bool grouped_ = false;
    int32_t writtenFirst_ = 0, writtenEnd_ = 0, readEnd_ = 0;

#if BORDER_PROCESS_SSE2
    // Four lines side by side in memory: the lowest column, each pixel's source column in
    // memory order, the channel multipliers of the first two and the last two pixels (zero for
    // a pixel moved whole or painted), all ones where a pixel is moved whole, and the colour
    // where it is painted. When the sources lie within four columns, `window` is the first of
    // them and `pick` the byte shuffle that puts them in order; else `window` is -1. Plain
    // arrays, loaded unaligned: a 32-bit host's stack promises no 16-byte alignment.
    struct Group {
        uint16_t factorLow[8], factorHigh[8];
        uint32_t moved[4], painted[4];
        uint8_t pick[16];
        int32_t first, window;
        int32_t source[4];
        bool anyMoved, anyPainted;
    };
    Group groups_[kMaxGroups];
    bool shuffle_ = false;  // the processor can pick bytes by a table (SSSE3)
    bool wide_ = false;     // and has 256-bit registers (AVX2)

    void PlanGroups(Numbering numbering, int32_t groups, int32_t width) {
        shuffle_ = ThisProcessor().ssse3;
        wide_ = ThisProcessor().avx2;
        for (int32_t g = 0; g < groups; ++g) {
            Group &group = groups_[g];
            group.anyMoved = group.anyPainted = false;
            int32_t lowest = width, highest = -1;  // sources read
            bool paintedLane[4];
            for (int32_t i = 0; i < 4; ++i) {
                const int32_t k = 4 * g + i;  // sweep order
                // Right columns run leftward in the sweep, left columns rightward.
                const int32_t lane = numbering == Numbering::Position ? 3 - i : i;
                const int32_t column = k < lineCount_ ? column_[k]
                                       : numbering == Numbering::Position
                                           ? column_[4 * g] - i
                                           : column_[4 * g] + i;
                const bool painted = k < blackLines_;
                const uint32_t m = k < lineCount_ ? multiplier_[k] : 0;
                group.source[lane] = k < lineCount_ ? source_[k] : column;
                uint16_t *factor = lane < 2 ? group.factorLow + 4 * lane
                                            : group.factorHigh + 4 * (lane - 2);
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

    static constexpr bool kCanGroup = true;

    static __m128i Load(const void *p) { return _mm_loadu_si128(static_cast<const __m128i *>(p)); }
    static void Store(void *p, __m128i v) { _mm_storeu_si128(static_cast<__m128i *>(p), v); }

    // One group's figures, fetched once for a block of rows.
    struct GroupKernel {
        __m128i low, high, moved, painted, pick;
        bool anyMoved, anyPainted;
        const Group &group;

        explicit GroupKernel(const Group &g)
            : low(Load(g.factorLow)), high(Load(g.factorHigh)), moved(Load(g.moved)),
              painted(Load(g.painted)), pick(Load(g.pick)), anyMoved(g.anyMoved),
              anyPainted(g.anyPainted), group(g) {}

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

    void ApplyGroups(const uint32_t *const *from, uint32_t *const *to, int32_t rows) const {
        const __m128i zero = _mm_setzero_si128();
        for (int32_t g = 0; g < (lineCount_ + 3) / 4; ++g) {
            const GroupKernel kernel(groups_[g]);
            for (int32_t r = 0; r < rows; ++r)
                Store(to[r] + groups_[g].first, kernel.Made(kernel.Gathered(from[r]), zero));
        }
    }

    // The same with the sources of a group in one window picked by one shuffle.
    BORDER_PROCESS_SSSE3 void ApplyGroupsByShuffle(const uint32_t *const *from,
                                                   uint32_t *const *to, int32_t rows) const {
        for (int32_t g = 0; g < (lineCount_ + 3) / 4; ++g)
            ApplyGroupByShuffle(GroupKernel(groups_[g]), from, to, 0, rows);
    }

    // One group on rows [r, rows).
    BORDER_PROCESS_SSSE3 static void ApplyGroupByShuffle(const GroupKernel &kernel,
                                                         const uint32_t *const *from,
                                                         uint32_t *const *to, int32_t r,
                                                         int32_t rows) {
        const __m128i zero = _mm_setzero_si128();
        const int32_t first = kernel.group.first, window = kernel.group.window;
        for (; r < rows; ++r) {
            const __m128i v = window >= 0 ? _mm_shuffle_epi8(Load(from[r] + window), kernel.pick)
                                          : kernel.Gathered(from[r]);
            Store(to[r] + first, kernel.Made(v, zero));
        }
    }

    // The same two rows at a time, one in each 128-bit half of a 256-bit register.
    BORDER_PROCESS_AVX2 void ApplyGroupsWide(const uint32_t *const *from, uint32_t *const *to,
                                             int32_t rows) const {
        const __m256i zero = _mm256_setzero_si256();
        for (int32_t g = 0; g < (lineCount_ + 3) / 4; ++g) {
            const GroupKernel kernel(groups_[g]);
            const int32_t first = groups_[g].first, window = groups_[g].window;
            int32_t r = 0;
            if (window >= 0) {
                const __m256i pick = _mm256_broadcastsi128_si256(kernel.pick);
                const __m256i low = _mm256_broadcastsi128_si256(kernel.low);
                const __m256i high = _mm256_broadcastsi128_si256(kernel.high);
                const __m256i moved = _mm256_broadcastsi128_si256(kernel.moved);
                const __m256i painted = _mm256_broadcastsi128_si256(kernel.painted);
                for (; r + 2 <= rows; r += 2) {
                    const __m256i sources = _mm256_inserti128_si256(
                        _mm256_castsi128_si256(Load(from[r] + window)), Load(from[r + 1] + window), 1);
                    const __m256i v = _mm256_shuffle_epi8(sources, pick);
                    __m256i result = FadeChannelsWide(v, low, high, zero);
                    if (kernel.anyMoved)
                        result = _mm256_or_si256(result, _mm256_and_si256(v, moved));
                    if (kernel.anyPainted)
                        result = _mm256_or_si256(result, painted);
                    Store(to[r] + first, _mm256_castsi256_si128(result));
                    Store(to[r + 1] + first, _mm256_extracti128_si256(result, 1));
                }
            }
            ApplyGroupByShuffle(kernel, from, to, r, rows);
        }
    }
#else
    static constexpr bool kCanGroup = false;
    void PlanGroups(Numbering, int32_t, int32_t) {}
#endif
};

// The plain column sweep for any settings. Rows do not depend on one another, so the band
// columns are planned a batch at a time and each batch is applied to every row; within a row
// the columns still go edge-inward.
void SweepColumns(const Frame &frame, Numbering numbering, const EdgeValues &v, uint32_t colour) {
    constexpr int32_t kBatch = 32;
    const int32_t extent = frame.width;
    const int32_t count = LinesToVisit(numbering, v, extent);
    LinePlan plans[kBatch];
    int32_t columns[kBatch];
    int32_t sourceColumns[kBatch];
    for (int32_t first = 1; first <= count; first += kBatch) {
        const int32_t lines = std::min(kBatch, count - first + 1);
        for (int32_t i = 0; i < lines; ++i) {
            PlanLine(numbering, first + i, extent, v, plans[i]);
            columns[i] = IndexOfLine(numbering, first + i, extent);
            sourceColumns[i] = plans[i].smear
                                   ? IndexOfLine(numbering, plans[i].sourceLine, extent)
                                   : columns[i];
        }
        for (int32_t y = 0; y < frame.height; ++y) {
            uint32_t *row = frame.Row(y);
            for (int32_t i = 0; i < lines; ++i) {
                const LinePlan &plan = plans[i];
                uint32_t value = plan.black ? colour : row[sourceColumns[i]];
                if (!plan.black && plan.fade)
                    value = plan.weight.multiplier != 0
                                ? FadePixel(value, plan.weight.multiplier)
                                : FadePixel(value, plan.weight.table);
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

    bool Plan(const BorderSettings &s, int32_t width) {
        if (!right.Plan(Numbering::Position, ValuesOf(s, Right), width, s.borderColour) ||
            !left.Plan(Numbering::Offset, ValuesOf(s, Left), width, s.borderColour))
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

    void CopyRow(uint32_t *to, const uint32_t *from, int32_t width) const {
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

void CopyRow(uint32_t *to, const uint32_t *from, int32_t width) {
    if (to != from)
        std::memcpy(to, from, size_t(width) * sizeof(uint32_t));
}

// Rows [first, end): copied, with their side bands.
void CopyWithSides(const Frame &in, const Frame &out, int32_t first, int32_t end, const Sides &sides) {
    int32_t y = first;
    if (sides.apart && in.pixels != out.pixels) {
        // A few rows at a time: copied, then their band columns made from the source rows.
        // Rows that lie end to end in both frames are copied whole by one call; else only the
        // columns between the bands, row by row.
        constexpr int32_t kRows = SideSweep::kBlockRows;
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
            sides.right.ApplyToBlock(from, to, kRows);
            sides.left.ApplyToBlock(from, to, kRows);
        }
    }
    for (; y < end; ++y)
        sides.CopyRow(out.Row(y), in.Row(y), out.width);
}

// Rows [first, end) in place: their side bands.
void SidesOn(const Frame &out, int32_t first, int32_t end, const Sides &sides) {
    int32_t y = first;
    if (sides.right.Grouped() && sides.left.Grouped()) {
        constexpr int32_t kRows = SideSweep::kBlockRows;
        for (; y + kRows <= end; y += kRows) {
            uint32_t *rows[kRows];
            for (int32_t r = 0; r < kRows; ++r)
                rows[r] = out.Row(y + r);
            sides.right.ApplyToBlock(rows, rows, kRows);
            sides.left.ApplyToBlock(rows, rows, kRows);
        }
    }
    for (; y < end; ++y)
        sides.Apply(out.Row(y));
}

// Rows [first, end) of an edge's lines copied with their side bands, but for those that the
// edge's sweep replaces whole before reading them.
void CopyWithSidesUnlessReplaced(const Frame &in, const Frame &out, int32_t first, int32_t end,
                                 const RowEdge &edge, const Sides &sides) {
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
void ProcessByRows(const Frame &in, const Frame &out, const RowEdge &top, const RowEdge &bottom,
                   const Sides &sides, bool topBottomFirst, uint32_t colour) {
    const int32_t h = out.height;
    if (topBottomFirst) {
        SweepRows(in, out, bottom, colour);
        SidesOn(out, 0, bottom.count, sides);
        CopyWithSides(in, out, bottom.count, bottom.reach, sides);
        CopyWithSides(in, out, bottom.reach, h - top.reach, sides);
        SweepRows(in, out, top, colour);
        SidesOn(out, h - top.count, h, sides);
        CopyWithSides(in, out, h - top.reach, h - top.count, sides);
    } else {
        CopyWithSidesUnlessReplaced(in, out, 0, bottom.reach, bottom, sides);
        SweepRows(out, out, bottom, colour);
        CopyWithSides(in, out, bottom.reach, h - top.reach, sides);
        CopyWithSidesUnlessReplaced(in, out, h - top.reach, h, top, sides);
        SweepRows(out, out, top, colour);
    }
}

// Copy the whole frame, then the four sweeps in their order.
void ProcessBySweeps(const Frame &in, const Frame &out, const RowEdge &top, const RowEdge &bottom,
                     const BorderSettings &s) {
    for (int32_t y = 0; y < out.height; ++y)
        CopyRow(out.Row(y), in.Row(y), out.width);
    auto topBottomPass = [&] {
        SweepRows(out, out, top, s.borderColour);
        SweepRows(out, out, bottom, s.borderColour);
    };
    auto sidePass = [&] {
        SweepColumns(out, Numbering::Position, ValuesOf(s, Right), s.borderColour);
        SweepColumns(out, Numbering::Offset, ValuesOf(s, Left), s.borderColour);
    };
    if (s.processTopBottomFirst) {
        topBottomPass();
        sidePass();
    } else {
        sidePass();
        topBottomPass();
    }
}

}  // namespace

void ProcessFrame(const uint32_t *src, ptrdiff_t srcPitch, uint32_t *dst, ptrdiff_t dstPitch,
                  int32_t width, int32_t height, const BorderSettings &settings) {
    if (width <= 0 || height <= 0)
        return;
    // The source is only ever read; the type serves both frames.
    const Frame in{const_cast<uint32_t *>(src), srcPitch, width, height};
    const Frame out{dst, dstPitch, width, height};
    const RowEdge top(Numbering::Position, ValuesOf(settings, Top), height);
    const RowEdge bottom(Numbering::Offset, ValuesOf(settings, Bottom), height);
    Sides sides;
    const bool byRows = int64_t{top.reach} + bottom.reach <= height && sides.Plan(settings, width);
    if (byRows)
        ProcessByRows(in, out, top, bottom, sides, settings.processTopBottomFirst,
                      settings.borderColour);
    else
        ProcessBySweeps(in, out, top, bottom, settings);
}
