// The solver's number rules, as small helpers without undefined behaviour.
// Internal to the solver; exposed for its tests.
#pragma once
#include <cstdint>
#include <string>

namespace mensurio {

// trunc(x): x truncated toward zero to a 64-bit integer, of which the low 32 bits are kept;
// a value that is not finite, or whose magnitude is 2^63 or more, gives 0.
int32_t Trunc(double x);

// Signed 32-bit arithmetic with two's-complement wrap-around.
int32_t WrapAdd(int32_t a, int32_t b);
int32_t WrapSub(int32_t a, int32_t b);
int32_t WrapMul(int32_t a, int32_t b);

// "%.2lf": fixed-point with two decimals, identical in every build (std::to_chars, round to
// nearest on the exact binary value); a value that is not finite is "inf", "-inf" or "nan".
std::string FormatFixed2(double value);

}  // namespace mensurio
