// An independent implementation of the size solver, written from the number rules alone and kept
// apart from the solver's code: volatile doubles step by step, trunc through std::trunc and
// std::fmod, wrap-around through 64-bit products, the text through one snprintf with the
// answer template (the C99 printf in every build). It is compared byte for byte with
// SolveSizes on many thousands of random and boundary inputs.
#include "size_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace mensurio {
namespace {
namespace ref {

// trunc: toward zero; not finite or |x| >= 2^63 gives 0; otherwise the low 32 bits.
int32_t Trunc(double x) {
    if (std::isnan(x) || std::isinf(x))
        return 0;
    if (x >= 9223372036854775808.0 || x <= -9223372036854775808.0)
        return 0;
    double whole = std::trunc(x);
    double low = std::fmod(whole, 4294967296.0);  // exact; same sign as whole
    if (low < 0)
        low += 4294967296.0;  // exact: both below 2^53 in magnitude here
    if (low >= 2147483648.0)
        low -= 4294967296.0;
    return static_cast<int32_t>(low);
}

int32_t Reduce(int64_t v) {  // the low 32 bits of v, as a signed value
    int64_t m = v % 4294967296LL;
    if (m < 0)
        m += 4294967296LL;
    if (m >= 2147483648LL)
        m -= 4294967296LL;
    return static_cast<int32_t>(m);
}
int32_t Add(int32_t a, int32_t b) { return Reduce(static_cast<int64_t>(a) + b); }
int32_t Sub(int32_t a, int32_t b) { return Reduce(static_cast<int64_t>(a) - b); }
int32_t Mul(int32_t a, int32_t b) { return Reduce(static_cast<int64_t>(a) * b); }

double Aspect(int32_t position) {
    static const uint64_t kBits[8] = {
        0x3FF1811811811811ull, 0x3FED2A2067B23A53ull, 0x3FF756CAC201756Cull, 0x3FF3716AEFCC26E2ull,
        0x3FFA41A41A41A41Aull, 0x3FF5DF984DC5ABBFull, 0x3FF0000000000000ull, 0x3FF1111111111111ull};
    if (position < 0 || position > 7)
        return 1.0;
    double d;
    std::memcpy(&d, &kBits[position], sizeof d);
    return d;
}

void Percent(char *out, size_t size, double v) {
    if (v != v)
        std::snprintf(out, size, "nan");
    else if (v == HUGE_VAL)
        std::snprintf(out, size, "inf");
    else if (v == -HUGE_VAL)
        std::snprintf(out, size, "-inf");
    else
        std::snprintf(out, size, "%.2lf", v);
}

struct Cand {
    int32_t nw, nh, tw, th, area;
    std::string note;
};

std::string Text(const Cand &c, int32_t sw, int32_t sh) {
    volatile double p1 = static_cast<double>(c.area);
    p1 = p1 * 100.0;
    p1 = p1 / sw;
    p1 = p1 / sh;
    volatile double p2 = static_cast<double>(c.tw);
    p2 = p2 * static_cast<double>(c.th);
    p2 = p2 * 100.0;
    p2 = p2 / c.nw;
    p2 = p2 / c.nh;
    char a[400], b[400];
    Percent(a, sizeof a, p1);
    Percent(b, sizeof b, p2);
    static char buffer[1200];
    std::snprintf(
        buffer, sizeof buffer,
        "\nClip or pad source size to %ix%i and resize to %ix%i\n"
        "- new source size is %s%% of desired size\n- resized to %s%% of new source size\n",
        static_cast<int>(c.nw), static_cast<int>(c.nh), static_cast<int>(c.tw),
        static_cast<int>(c.th), a, b);
    return c.note + buffer;
}

std::string Solve(int32_t sw, int32_t sh, int32_t dw, int32_t dh, int32_t mw, int32_t mh,
                  int32_t sp, int32_t dp, int32_t fixed, int32_t re) {
    if (!sw || !sh || !dw || !dh || !mw || !mh)
        return "Incorrect values";
    volatile double ps = Aspect(sp);
    volatile double pd = Aspect(dp);
    bool expand = (re == 1);
    Cand one, two;
    bool keepSecond;

    if (fixed == 0) {
        volatile double a = static_cast<double>(dw);
        a = a * pd;
        volatile double b = static_cast<double>(sw);
        b = b * ps;
        volatile double t = b;
        t = t / sh;
        volatile double e = a;
        e = e / t;
        volatile double q = e;
        q = q / mh;
        int32_t h1 = Mul(Trunc(q), mh);
        if (expand)
            h1 = Add(h1, mh);
        volatile double n = b;
        n = n / a;
        n = n * h1;
        n = n + 0.5;
        int32_t n1 = Trunc(n);
        one = Cand{sw, n1, dw, h1, Mul(sw, n1), ""};
        if (n1 == sh)
            return "Solution:" + Text(one, sw, sh);
        one.note = " (adjust source height)";
        int32_t h2 = expand ? Sub(h1, mh) : Add(h1, mh);
        volatile double m = static_cast<double>(sh);
        m = m / ps;
        m = m * dw;
        m = m * pd;
        m = m / h2;
        m = m + 0.5;
        int32_t n2 = Trunc(m);
        two = Cand{n2, sh, dw, h2, Mul(sh, n2), n2 != sw ? " (adjust source width)" : ""};
        keepSecond = two.area > 0;
    } else {
        volatile double r = static_cast<double>(sw);
        r = r * ps;
        r = r / sh;
        volatile double f = static_cast<double>(dh);
        f = f / pd;
        volatile double e = r;
        e = e * f;
        volatile double q = e;
        q = q / mw;
        int32_t w1 = Mul(Trunc(q), mw);
        if (expand)
            w1 = Add(w1, mw);
        volatile double n = static_cast<double>(sh);
        n = n / ps;
        n = n * w1;
        n = n * pd;
        n = n / dh;
        n = n + 0.5;
        int32_t n1 = Trunc(n);
        one = Cand{n1, sh, w1, dh, Mul(sh, n1), ""};
        if (n1 == sw)
            return "Solution:" + Text(one, sw, sh);
        one.note = " (adjust source width)";
        int32_t w2 = expand ? Sub(w1, mw) : Add(w1, mw);
        volatile double x = static_cast<double>(sw);
        x = x * ps;
        volatile double y = static_cast<double>(w2);
        y = y * pd;
        volatile double m = x;
        m = m / y;
        m = m * dh;
        m = m + 0.5;
        int32_t n2 = Trunc(m);
        two = Cand{sw, n2, w2, dh, Mul(sw, n2), n2 != sh ? " (adjust source height)" : ""};
        keepSecond = two.area > 0;
    }
    if (!keepSecond)
        return "Solution:" + Text(one, sw, sh);
    if (two.area == Mul(sw, sh) || one.area == 0)
        return "Solution:" + Text(two, sw, sh);
    bool oneFirst;
    if (expand)
        oneFirst = one.area < two.area;
    else
        oneFirst = one.area > two.area;
    if (oneFirst)
        return "Solution 1:" + Text(one, sw, sh) + "\nSolution 2:" + Text(two, sw, sh);
    return "Solution 1:" + Text(two, sw, sh) + "\nSolution 2:" + Text(one, sw, sh);
}

}  // namespace ref

// SplitMix64: the same sequence on every platform.
struct Random {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int32_t Range(int32_t lo, int32_t hi) {  // inclusive, hi - lo < 2^31
        return lo + static_cast<int32_t>(Next() %
                                         static_cast<uint64_t>(static_cast<int64_t>(hi) - lo + 1));
    }
    int32_t Any() {
        const uint32_t u = static_cast<uint32_t>(Next());
        return u <= 0x7FFFFFFFu ? static_cast<int32_t>(u)
                                : static_cast<int32_t>(u - 0x80000000u) - 0x7FFFFFFF - 1;
    }
};

const int32_t kBoundary[] = {INT32_MIN, INT32_MIN + 1,
                             -65536,    -46341,
                             -704,      -16,
                             -2,        -1,
                             0,         1,
                             2,         3,
                             4,         7,
                             8,         16,
                             32,        46340,
                             46341,     65535,
                             65536,     65537,
                             1 << 30,   INT32_MAX - 1,
                             INT32_MAX};

int32_t Boundary(Random &r) {
    return kBoundary[r.Next() % (sizeof kBoundary / sizeof kBoundary[0])];
}

// One input drawn from a mix of the dialog's realistic range, small values around zero,
// large values near the products' wrap-around, the boundary list and anything at all.
int32_t Size(Random &r) {
    switch (r.Next() % 10) {
    case 0:
    case 1:
    case 2:
    case 3:
        return r.Range(1, 2000);
    case 4:
        return r.Range(-20, 20);
    case 5:
        return r.Range(1, 100000);
    case 6:
        return r.Range(30000, 70000) * (r.Next() % 2 ? 1 : -1);
    case 7:
        return Boundary(r);
    case 8:
        return r.Any();
    default:
        return r.Range(-2000, 2000);
    }
}

int32_t Multiple(Random &r) {
    static const int32_t kCommon[] = {1, 2, 4, 8, 16, 32, 64};
    switch (r.Next() % 6) {
    case 0:
    case 1:
    case 2:
        return kCommon[r.Next() % 7];
    case 3:
        return r.Range(-40, 100);
    case 4:
        return Boundary(r);
    default:
        return Size(r);
    }
}

int32_t Position(Random &r) {
    switch (r.Next() % 8) {
    case 0:
        return r.Range(-3, 11);
    case 1:
        return Boundary(r);
    default:
        return r.Range(0, 7);
    }
}

int32_t Choice(Random &r) {
    static const int32_t kValues[] = {0, 0, 0, 1, 1, 1, -1, 2, INT32_MIN, INT32_MAX};
    return kValues[r.Next() % 10];
}

void Compare(const int32_t v[10], int *failures) {
    const std::string expected =
        ref::Solve(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    const std::string actual =
        SolveSizes(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    if (expected != actual && ++*failures <= 10) {
        ADD_FAILURE() << "inputs " << v[0] << ' ' << v[1] << ' ' << v[2] << ' ' << v[3] << ' '
                      << v[4] << ' ' << v[5] << ' ' << v[6] << ' ' << v[7] << ' ' << v[8] << ' '
                      << v[9] << "\nreference:\n"
                      << expected << "\nSolveSizes:\n"
                      << actual;
    }
}

TEST(ReferenceImplementation, AgreesOnTheKnownAnswers) {
    EXPECT_EQ(ref::Solve(704, 576, 640, 480, 16, 16, 0, 6, 0, 0),
              SolveSizes(704, 576, 640, 480, 16, 16, 0, 6, 0, 0));
    // The 706 example, through the reference's own path.
    const std::string s = ref::Solve(704, 576, 640, 512, 4, 16, 0, 0, 1, 1);
    EXPECT_NE(s.find("706x576 and resize to 628x512"), std::string::npos) << s;
}

TEST(ReferenceImplementation, RandomInputs) {
    Random r{20240613};
    int failures = 0;
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
        int32_t v[10];
        for (int k = 0; k < 4; ++k)
            v[k] = Size(r);
        v[4] = Multiple(r);
        v[5] = Multiple(r);
        v[6] = Position(r);
        v[7] = Position(r);
        v[8] = Choice(r);
        v[9] = Choice(r);
        Compare(v, &failures);
    }
    EXPECT_EQ(failures, 0);
}

TEST(ReferenceImplementation, RealisticInputsAroundTheDefaults) {
    // Every preset pair, both sides, both modes, common multiples, sizes near the defaults.
    Random r{7};
    int failures = 0;
    static const int32_t kMultiples[] = {1, 2, 4, 8, 16, 32};
    for (int32_t src = 0; src < 8; ++src)
        for (int32_t dst = 0; dst < 8; ++dst)
            for (int32_t fixed = 0; fixed < 2; ++fixed)
                for (int32_t mode = 0; mode < 2; ++mode)
                    for (int32_t m : kMultiples)
                        for (int rep = 0; rep < 3; ++rep) {
                            const int32_t v[10] = {r.Range(300, 800),
                                                   r.Range(200, 600),
                                                   r.Range(8, 800),
                                                   r.Range(8, 640),
                                                   m,
                                                   m,
                                                   src,
                                                   dst,
                                                   fixed,
                                                   mode};
                            Compare(v, &failures);
                        }
    EXPECT_EQ(failures, 0);
}

TEST(ReferenceImplementation, BoundaryCombinations) {
    // Each number from the boundary list with the others at the defaults, and pairs of them.
    int failures = 0;
    const int32_t defaults[10] = {704, 576, 640, 480, 16, 16, 0, 6, 0, 0};
    for (int32_t fixed : {0, 1})
        for (int32_t mode : {0, 1})
            for (int i = 0; i < 6; ++i)
                for (int j = i; j < 6; ++j)
                    for (int32_t a : kBoundary)
                        for (int32_t b : {1, -1, 16, 65536, INT32_MIN, INT32_MAX}) {
                            int32_t v[10];
                            std::memcpy(v, defaults, sizeof v);
                            v[8] = fixed;
                            v[9] = mode;
                            v[i] = a;
                            if (j != i)
                                v[j] = b;
                            Compare(v, &failures);
                        }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace mensurio
