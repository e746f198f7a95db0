// PixelAspectTable and SolveSizes.
//
// Every real operation below is one IEEE-754 double operation, written as its own step in
// the order of the formulas. The build guarantees one rounding per operation: this file is
// compiled with -ffp-contract=off (no fused multiply-add) and, for 32-bit x86, with
// -msse2 -mfpmath=sse (no x87 extended precision). See CMakeLists.txt.
#include "size_solver.h"

#include "solver_numbers.h"

#if defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ != 0
#error "size_solver.cpp needs double arithmetic without wider intermediates (-msse2 -mfpmath=sse)"
#endif

namespace mensurio {

namespace {

// The table's doubles, written by their bits: 0x1.<52-bit fraction>p<exponent>.
constexpr double kPixelAspects[8] = {
    0x1.1811811811811p+0,  // 3FF1811811811811  128/117, one ulp below the nearest double
    0x1.D2A2067B23A53p-1,  // 3FED2A2067B23A53   72/79,  one ulp below the nearest double
    0x1.756CAC201756Cp+0,  // 3FF756CAC201756C  512/351, one ulp below the nearest double
    0x1.3716AEFCC26E2p+0,  // 3FF3716AEFCC26E2   96/79,  one ulp below the nearest double
    0x1.A41A41A41A41Ap+0,  // 3FFA41A41A41A41A   64/39,  the nearest double
    0x1.5DF984DC5ABBFp+0,  // 3FF5DF984DC5ABBF  108/79,  the nearest double
    0x1.0000000000000p+0,  // 3FF0000000000000    1
    0x1.1111111111111p+0,  // 3FF1111111111111   16/15,  the nearest double
};

const char *const kCaptions[8] = {
    "Standard PAL",   "Standard NTSC",  "Anamorphic PAL",          "Anamorphic NTSC",
    "SVCD - 480x576", "SVCD - 480x480", "Monitor (square pixels)", "Monitor (1280 x 1024)",
};

const char kNoteAdjustWidth[] = " (adjust source width)";
const char kNoteAdjustHeight[] = " (adjust source height)";

struct Candidate {
    int32_t newWidth = 0;    // NW
    int32_t newHeight = 0;   // NH
    int32_t destWidth = 0;   // TW
    int32_t destHeight = 0;  // TH
    int32_t area = 0;        // A1 or A2: NW x NH, 32-bit
    const char *note = "";
};

// The candidate's text: its note followed by the template
// "\nClip or pad source size to %ix%i and resize to %ix%i\n- new source size is %.2lf%% of
//  desired size\n- resized to %.2lf%% of new source size\n".
std::string CandidateText(const Candidate &c, int32_t sourceWidth, int32_t sourceHeight) {
    // P1 = ((A x 100) / SW) / SH
    double p1 = static_cast<double>(c.area);
    p1 = p1 * 100.0;
    p1 = p1 / static_cast<double>(sourceWidth);
    p1 = p1 / static_cast<double>(sourceHeight);
    // P2 = (((TW x TH) x 100) / NW) / NH, TW x TH multiplied as doubles
    double p2 = static_cast<double>(c.destWidth) * static_cast<double>(c.destHeight);
    p2 = p2 * 100.0;
    p2 = p2 / static_cast<double>(c.newWidth);
    p2 = p2 / static_cast<double>(c.newHeight);

    std::string text = c.note;
    text += "\nClip or pad source size to ";
    text += std::to_string(c.newWidth);
    text += 'x';
    text += std::to_string(c.newHeight);
    text += " and resize to ";
    text += std::to_string(c.destWidth);
    text += 'x';
    text += std::to_string(c.destHeight);
    text += "\n- new source size is ";
    text += FormatFixed2(p1);
    text += "% of desired size\n- resized to ";
    text += FormatFixed2(p2);
    text += "% of new source size\n";
    return text;
}

}  // namespace

const char *const kIncorrectValues = "Incorrect values";

double PixelAspectTable(int32_t position) {
    if (position < 0 || position >= kPixelAspectCount)
        return 1.0;
    return kPixelAspects[position];
}

const char *PixelAspectCaption(int32_t position) {
    if (position < 0 || position >= kPixelAspectCount)
        return nullptr;
    return kCaptions[position];
}

std::string SolveSizes(int32_t sourceWidth, int32_t sourceHeight, int32_t destWidth,
                       int32_t destHeight, int32_t widthMultiple, int32_t heightMultiple,
                       int32_t sourceAspect, int32_t destAspect, int32_t fixedSide,
                       int32_t reduceExpand) {
    const int32_t SW = sourceWidth, SH = sourceHeight, DW = destWidth, DH = destHeight;
    const int32_t MW = widthMultiple, MH = heightMultiple;

    // Validity: all six numbers, whichever side is fixed.
    if (SW == 0 || SH == 0 || DW == 0 || DH == 0 || MW == 0 || MH == 0)
        return kIncorrectValues;

    const double PS = PixelAspectTable(sourceAspect);
    const double PD = PixelAspectTable(destAspect);
    const bool expand = reduceExpand == 1;

    // Integers enter real operations converted exactly.
    const double sw = SW, sh = SH, dw = DW, dh = DH;

    Candidate first, second;

    if (fixedSide == 0) {
        // Width fixed. 1. a = DW x PD; b = SW x PS.
        const double a = dw * PD;
        const double b = sw * PS;
        // 2. e = a / (b / SH).
        const double bPerH = b / sh;
        const double e = a / bPerH;
        // 3. H1 = trunc(e / MH) x MH (+ MH in expand mode).
        const double eOverM = e / static_cast<double>(MH);
        int32_t H1 = WrapMul(Trunc(eOverM), MH);
        if (expand)
            H1 = WrapAdd(H1, MH);
        // 4. N1 = trunc((b / a) x H1 + 0.5).
        const double bOverA = b / a;
        const double scaled1 = bOverA * static_cast<double>(H1);
        const int32_t N1 = Trunc(scaled1 + 0.5);
        // 5. The first candidate.
        first.newWidth = SW;
        first.newHeight = N1;
        first.destWidth = DW;
        first.destHeight = H1;
        first.area = WrapMul(SW, N1);
        // 6.
        if (N1 == SH)
            return "Solution:" + CandidateText(first, SW, SH);
        // 7.
        first.note = kNoteAdjustHeight;
        // 8.
        const int32_t H2 = expand ? WrapSub(H1, MH) : WrapAdd(H1, MH);
        // 9. N2 = trunc((((SH / PS) x DW) x PD) / H2 + 0.5).
        double t = sh / PS;
        t = t * dw;
        t = t * PD;
        t = t / static_cast<double>(H2);
        const int32_t N2 = Trunc(t + 0.5);
        // 10.
        second.newWidth = N2;
        second.newHeight = SH;
        second.destWidth = DW;
        second.destHeight = H2;
        second.area = WrapMul(SH, N2);
        // 11.
        if (second.area <= 0)
            return "Solution:" + CandidateText(first, SW, SH);
        // 12.
        second.note = N2 != SW ? kNoteAdjustWidth : "";
    } else {
        // Height fixed. 1. r = (SW x PS) / SH.
        const double swPs = sw * PS;
        const double r = swPs / sh;
        // 2. e = r x (DH / PD).
        const double dhOverPd = dh / PD;
        const double e = r * dhOverPd;
        // 3. W1 = trunc(e / MW) x MW (+ MW in expand mode).
        const double eOverM = e / static_cast<double>(MW);
        int32_t W1 = WrapMul(Trunc(eOverM), MW);
        if (expand)
            W1 = WrapAdd(W1, MW);
        // 4. N1 = trunc((((SH / PS) x W1) x PD) / DH + 0.5).
        double t = sh / PS;
        t = t * static_cast<double>(W1);
        t = t * PD;
        t = t / dh;
        const int32_t N1 = Trunc(t + 0.5);
        // 5.
        first.newWidth = N1;
        first.newHeight = SH;
        first.destWidth = W1;
        first.destHeight = DH;
        first.area = WrapMul(SH, N1);
        // 6.
        if (N1 == SW)
            return "Solution:" + CandidateText(first, SW, SH);
        // 7.
        first.note = kNoteAdjustWidth;
        // 8.
        const int32_t W2 = expand ? WrapSub(W1, MW) : WrapAdd(W1, MW);
        // 9. N2 = trunc(((SW x PS) / (W2 x PD)) x DH + 0.5), both products first.
        const double top = sw * PS;
        const double bottom = static_cast<double>(W2) * PD;
        double u = top / bottom;
        u = u * dh;
        const int32_t N2 = Trunc(u + 0.5);
        // 10.
        second.newWidth = SW;
        second.newHeight = N2;
        second.destWidth = W2;
        second.destHeight = DH;
        second.area = WrapMul(SW, N2);
        // 11.
        if (second.area <= 0)
            return "Solution:" + CandidateText(first, SW, SH);
        // 12.
        second.note = N2 != SH ? kNoteAdjustHeight : "";
    }

    // Choosing.
    if (second.area == WrapMul(SW, SH) || first.area == 0)
        return "Solution:" + CandidateText(second, SW, SH);
    const bool firstListedFirst = expand ? first.area < second.area : first.area > second.area;
    const Candidate &one = firstListedFirst ? first : second;
    const Candidate &two = firstListedFirst ? second : first;
    return "Solution 1:" + CandidateText(one, SW, SH) +
           "\nSolution 2:" + CandidateText(two, SW, SH);
}

}  // namespace mensurio
