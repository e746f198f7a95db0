// (draft API agreed between the solver and the window; the solver's author owns this file)
#pragma once
#include <cstdint>
#include <string>
double PixelAspectTable(int32_t position);   // positions outside 0..7 give 1.0
std::string SolveSizes(int32_t sourceWidth, int32_t sourceHeight, int32_t destWidth,
                       int32_t destHeight, int32_t widthMultiple, int32_t heightMultiple,
                       int32_t sourceAspect, int32_t destAspect, int32_t fixedSide,
                       int32_t reduceExpand);
