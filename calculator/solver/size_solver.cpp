// PixelAspectTable and SolveSizes.
//
// A picture W pixels wide and H high whose pixels have the aspect P is shown with the shape
// W x P : H; every step below keeps that shape from the source to the destination.
//
// Every real operation is one IEEE-754 double operation, written as its own statement in the
// order the answers depend on: another order or grouping rounds differently, and near a half
// that changes a size. The build guarantees one rounding per operation: this file is
// compiled with -ffp-contract=off (no fused multiply-add) and, for 32-bit x86, with
// -msse2 -mfpmath=sse (no x87 extended precision). See CMakeLists.txt.
#include "size_solver.h"

#include "solver_numbers.h"

#if defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ != 0
#error "size_solver.cpp needs double arithmetic without wider intermediates (-msse2 -mfpmath=sse)"
#endif

namespace mensurio {

namespace {

// The table's doubles, written by their bits: 0x1.<52-bit fraction>p<exponent>. The first four
// are one unit in the last place below the nearest double, and some answers depend on that.
constexpr double kPixelAspects[kPixelAspectCount] = {
    0x1.1811811811811p+0,  // 3FF1811811811811  128/117, one ulp below the nearest double
    0x1.D2A2067B23A53p-1,  // 3FED2A2067B23A53   72/79,  one ulp below the nearest double
    0x1.756CAC201756Cp+0,  // 3FF756CAC201756C  512/351, one ulp below the nearest double
    0x1.3716AEFCC26E2p+0,  // 3FF3716AEFCC26E2   96/79,  one ulp below the nearest double
    0x1.A41A41A41A41Ap+0,  // 3FFA41A41A41A41A   64/39,  the nearest double
    0x1.5DF984DC5ABBFp+0,  // 3FF5DF984DC5ABBF  108/79,  the nearest double
    0x1.0000000000000p+0,  // 3FF0000000000000    1
    0x1.1111111111111p+0,  // 3FF1111111111111   16/15,  the nearest double
};

const char *const kCaptions[kPixelAspectCount] = {
    "Standard PAL",   "Standard NTSC",  "Anamorphic PAL",          "Anamorphic NTSC",
    "SVCD - 480x576", "SVCD - 480x480", "Monitor (square pixels)", "Monitor (1280 x 1024)",
};

const char kNoteAdjustWidth[] = " (adjust source width)";
const char kNoteAdjustHeight[] = " (adjust source height)";

// The source as entered (any borders already removed) and the pixel aspects of both sides.
struct Problem {
    int32_t sourceWidth;
    int32_t sourceHeight;
    double sourceAspect;  // PS
    double destAspect;    // PD
};

// One way to get there: clip or pad the source to newWidth x newHeight, then resize it to
// destWidth x destHeight. One of the two new source dimensions is always the entered one.
struct Candidate {
    int32_t newWidth = 0;
    int32_t newHeight = 0;
    int32_t destWidth = 0;
    int32_t destHeight = 0;
    int32_t area = 0;  // newWidth x newHeight, 32-bit with wrap-around
    const char *note = "";
};

// The shape of the source picture, width over height: (SW x PS) / SH.
double SourcePictureAspect(const Problem &p) {
    const double pictureWidth = static_cast<double>(p.sourceWidth) * p.sourceAspect;
    return pictureWidth / static_cast<double>(p.sourceHeight);
}

// The destination height that keeps the source's shape at a fixed width: (DW x PD) / shape.
double DestHeightForWidth(const Problem &p, double shape, int32_t destWidth) {
    const double pictureWidth = static_cast<double>(destWidth) * p.destAspect;
    return pictureWidth / shape;
}

// The destination width that keeps the source's shape at a fixed height: shape x (DH / PD).
double DestWidthForHeight(const Problem &p, double shape, int32_t destHeight) {
    const double heightInPixelWidths = static_cast<double>(destHeight) / p.destAspect;
    return shape * heightInPixelWidths;
}

// The multiple of `multiple` reached by truncating the exact size toward zero; in expand mode
// the next one up, so that the source is padded rather than clipped.
int32_t RoundToMultiple(double exactSize, int32_t multiple, bool expand) {
    const double multiples = exactSize / static_cast<double>(multiple);
    const int32_t rounded = WrapMul(Trunc(multiples), multiple);
    return expand ? WrapAdd(rounded, multiple) : rounded;
}

// The neighbouring multiple tried by the second candidate: the two candidates' sizes are always
// the truncated multiple and the one above it, the lower one tried first when reducing.
int32_t OtherMultiple(int32_t firstSize, int32_t multiple, bool expand) {
    return expand ? WrapSub(firstSize, multiple) : WrapAdd(firstSize, multiple);
}

// The source height, with the source width kept, whose picture has the shape of
// destWidth x destHeight: ((SW x PS) / (TW x PD)) x TH, rounded half up.
int32_t SourceHeightKeepingWidth(const Problem &p, int32_t destWidth, int32_t destHeight) {
    const double sourcePictureWidth = static_cast<double>(p.sourceWidth) * p.sourceAspect;
    const double destPictureWidth = static_cast<double>(destWidth) * p.destAspect;
    const double widthRatio = sourcePictureWidth / destPictureWidth;
    const double height = widthRatio * static_cast<double>(destHeight);
    return Trunc(height + 0.5);
}

// The source width, with the source height kept, whose picture has the shape of
// destWidth x destHeight: (((SH / PS) x TW) x PD) / TH, rounded half up.
int32_t SourceWidthKeepingHeight(const Problem &p, int32_t destWidth, int32_t destHeight) {
    double width = static_cast<double>(p.sourceHeight) / p.sourceAspect;
    width = width * static_cast<double>(destWidth);
    width = width * p.destAspect;
    width = width / static_cast<double>(destHeight);
    return Trunc(width + 0.5);
}

// Clip or pad the source height so that the source fits destWidth x destHeight.
Candidate AdjustSourceHeight(const Problem &p, int32_t destWidth, int32_t destHeight) {
    Candidate c;
    c.newWidth = p.sourceWidth;
    c.newHeight = SourceHeightKeepingWidth(p, destWidth, destHeight);
    c.destWidth = destWidth;
    c.destHeight = destHeight;
    c.area = WrapMul(p.sourceWidth, c.newHeight);
    if (c.newHeight != p.sourceHeight)
        c.note = kNoteAdjustHeight;
    return c;
}

// Clip or pad the source width so that the source fits destWidth x destHeight.
Candidate AdjustSourceWidth(const Problem &p, int32_t destWidth, int32_t destHeight) {
    Candidate c;
    c.newWidth = SourceWidthKeepingHeight(p, destWidth, destHeight);
    c.newHeight = p.sourceHeight;
    c.destWidth = destWidth;
    c.destHeight = destHeight;
    c.area = WrapMul(p.sourceHeight, c.newWidth);
    if (c.newWidth != p.sourceWidth)
        c.note = kNoteAdjustWidth;
    return c;
}

// The new source area as a percentage of the entered source area: ((A x 100) / SW) / SH.
double PercentOfSource(const Candidate &c, const Problem &p) {
    double percent = static_cast<double>(c.area);
    percent = percent * 100.0;
    percent = percent / static_cast<double>(p.sourceWidth);
    return percent / static_cast<double>(p.sourceHeight);
}

// The destination area as a percentage of the new source area: (((TW x TH) x 100) / NW) / NH,
// TW x TH multiplied as doubles (the 32-bit product could wrap).
double PercentOfNewSource(const Candidate &c) {
    double percent = static_cast<double>(c.destWidth) * static_cast<double>(c.destHeight);
    percent = percent * 100.0;
    percent = percent / static_cast<double>(c.newWidth);
    return percent / static_cast<double>(c.newHeight);
}

// The candidate's text: its note, which lands on the heading line, then the template
// "\nClip or pad source size to %ix%i and resize to %ix%i\n- new source size is %.2lf%% of
//  desired size\n- resized to %.2lf%% of new source size\n".
std::string CandidateText(const Candidate &c, const Problem &p) {
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
    text += FormatFixed2(PercentOfSource(c, p));
    text += "% of desired size\n- resized to ";
    text += FormatFixed2(PercentOfNewSource(c));
    text += "% of new source size\n";
    return text;
}

std::string OneSolution(const Candidate &c, const Problem &p) {
    return "Solution:" + CandidateText(c, p);
}

// Both candidates stand. The second replaces the first when its area is the entered one (it
// leaves the source size as it is) or the first has none; otherwise both are listed, reduce
// mode putting the larger new source first and expand mode the smaller, the second candidate
// first on equal areas.
std::string ChooseSolutions(const Candidate &first, const Candidate &second, const Problem &p,
                            bool expand) {
    if (second.area == WrapMul(p.sourceWidth, p.sourceHeight) || first.area == 0)
        return OneSolution(second, p);
    const bool firstListedFirst = expand ? first.area < second.area : first.area > second.area;
    const Candidate &one = firstListedFirst ? first : second;
    const Candidate &two = firstListedFirst ? second : first;
    return "Solution 1:" + CandidateText(one, p) + "\nSolution 2:" + CandidateText(two, p);
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
    // All six numbers are checked whichever side is fixed: a 0 in a field that the fixed side
    // does not use is still an incorrect value.
    if (sourceWidth == 0 || sourceHeight == 0 || destWidth == 0 || destHeight == 0 ||
        widthMultiple == 0 || heightMultiple == 0)
        return kIncorrectValues;

    const Problem p{sourceWidth, sourceHeight, PixelAspectTable(sourceAspect),
                    PixelAspectTable(destAspect)};
    const bool expand = reduceExpand == 1;
    const double shape = SourcePictureAspect(p);

    // The first candidate keeps the source dimension along the fixed side and rounds the other
    // destination dimension to its multiple; when it leaves the source as it is, it is the
    // answer. Otherwise the second tries the neighbouring multiple with the other source
    // dimension kept.
    Candidate first, second;
    if (fixedSide == 0) {
        const int32_t height =
            RoundToMultiple(DestHeightForWidth(p, shape, destWidth), heightMultiple, expand);
        first = AdjustSourceHeight(p, destWidth, height);
        if (first.newHeight == sourceHeight)
            return OneSolution(first, p);
        second = AdjustSourceWidth(p, destWidth, OtherMultiple(height, heightMultiple, expand));
    } else {
        const int32_t width =
            RoundToMultiple(DestWidthForHeight(p, shape, destHeight), widthMultiple, expand);
        first = AdjustSourceWidth(p, width, destHeight);
        if (first.newWidth == sourceWidth)
            return OneSolution(first, p);
        second = AdjustSourceHeight(p, OtherMultiple(width, widthMultiple, expand), destHeight);
    }

    // A second candidate without a positive area is dropped (a neighbouring multiple of 0
    // divides by zero, and trunc makes that 0).
    if (second.area <= 0)
        return OneSolution(first, p);
    return ChooseSolutions(first, second, p, expand);
}

}  // namespace mensurio
