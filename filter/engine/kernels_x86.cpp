// The x86 forms of the kernels: SSE2 is the least the plug-in asks for; SSSE3 picks a side
// group's sources with one byte shuffle; AVX2 fades eight pixels at a time and makes the side
// bands of two rows at a time. Instructions beyond SSE2 are used only where the processor has
// them, checked at run time.
#include "kernels.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <immintrin.h>
#define KANTORA_SSE2 1
#if defined(__GNUC__)
#define KANTORA_SSSE3 __attribute__((target("ssse3")))
#define KANTORA_AVX2 __attribute__((target("avx2")))
#else
#define KANTORA_SSSE3
#define KANTORA_AVX2
#endif
#endif

namespace kantora {

#if KANTORA_SSE2
namespace {

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
KANTORA_AVX2 inline __m256i FadeChannelsWide(__m256i v, __m256i low, __m256i high, __m256i zero) {
    const __m256i l = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(v, zero), low);
    const __m256i h = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(v, zero), high);
    return _mm256_packus_epi16(l, h);
}

// FadeRow's columns [0, returned), eight at a time.
KANTORA_AVX2 int32_t FadeEightAtATime(uint32_t *to, const uint32_t *from, int32_t width,
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

KANTORA_AVX2 void FadeRowAvx2(uint32_t *to, const uint32_t *from, int32_t width, uint32_t m) {
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
KANTORA_SSSE3 inline void SideGroupShuffled(const GroupFigures &figures,
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
KANTORA_SSSE3 void SideGroupsShuffled(const SideGroup *groups, int32_t count,
                                      const uint32_t *const *from, uint32_t *const *to) {
    for (int32_t g = 0; g < count; ++g)
        SideGroupShuffled(GroupFigures(groups[g]), from, to, 0, kRows);
}

// The same two rows at a time, one in each 128-bit half of a 256-bit register.
template <int32_t kRows>
KANTORA_AVX2 void SideGroupsWide(const SideGroup *groups, int32_t count,
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

}  // namespace

unsigned X86ProcessorFeatures() {
    unsigned features = kFeatureSse2;
#if defined(__GNUC__)
    __builtin_cpu_init();
    // The AVX2 test also asks whether the system saves the 256-bit registers.
    if (__builtin_cpu_supports("avx2"))
        features |= kFeatureAvx2;
    if (__builtin_cpu_supports("ssse3"))
        features |= kFeatureSsse3;
#endif
    return features;
}

void InitBorderKernelsX86(BorderKernels *kernels, unsigned features) {
    if (features & kFeatureSse2) {
        kernels->fadeRow = FadeRowSse2;
        kernels->sideGroupsOnBlock = SideGroupsGathered<kBlockRows>;
        kernels->sideGroupsOnRow = SideGroupsGathered<1>;
    }
    if (features & kFeatureSsse3) {
        kernels->sideGroupsOnBlock = SideGroupsShuffled<kBlockRows>;
        kernels->sideGroupsOnRow = SideGroupsShuffled<1>;
    }
    if (features & kFeatureAvx2) {
        kernels->fadeRow = FadeRowAvx2;
        kernels->sideGroupsOnBlock = SideGroupsWide<kBlockRows>;
        kernels->sideGroupsOnRow = SideGroupsWide<1>;
    }
}
#else
// A build without SSE2 keeps the plain entries.
unsigned X86ProcessorFeatures() { return 0; }
void InitBorderKernelsX86(BorderKernels *, unsigned) {}
#endif

}  // namespace kantora
