// The pixel aspect table and the size solver of the calculator Mensurio.
// Plain C++ (no Windows header, no framework): the dialog and the console
// front end mensurio-solve both call it.
#pragma once
#include <cstdint>
#include <string>

namespace mensurio {

// The eight preset pixel aspects (width of a pixel divided by its height), indexed by the
// position of a preset in either aspect group of the dialog. Positions outside 0..7 give 1.0.
double PixelAspectTable(int32_t position);

// The answer for the ten inputs: the result text, lines separated by
// a single line feed, or "Incorrect values" when any of the six numbers is 0.
std::string SolveSizes(int32_t sourceWidth, int32_t sourceHeight, int32_t destWidth,
                       int32_t destHeight, int32_t widthMultiple, int32_t heightMultiple,
                       int32_t sourceAspect, int32_t destAspect, int32_t fixedSide,
                       int32_t reduceExpand);

// Number of presets in PixelAspectTable.
constexpr int32_t kPixelAspectCount = 8;

// The caption of the preset at a position, as the dialog shows it ("Standard PAL", ...);
// nullptr for positions outside 0..7.
const char *PixelAspectCaption(int32_t position);

// The text SolveSizes gives when any of the six numbers is 0.
extern const char *const kIncorrectValues;

}  // namespace mensurio
