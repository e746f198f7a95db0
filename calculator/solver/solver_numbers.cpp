// The solver's number rules: trunc, 32-bit wrap-around and the two-decimal format.
#include "solver_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace mensurio {

int32_t Trunc(double x) {
    // 0x1p63 = 2^63: the first magnitude that does not fit in a signed 64-bit integer.
    if (!std::isfinite(x) || !(std::fabs(x) < 0x1p63))
        return 0;
    const int64_t whole = static_cast<int64_t>(x);  // toward zero; in range, so defined
    const uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(whole));
    // Reinterpret the low 32 bits as two's complement without implementation-defined casts.
    if (low <= 0x7FFFFFFFu)
        return static_cast<int32_t>(low);
    return static_cast<int32_t>(low - 0x80000000u) - 0x7FFFFFFF - 1;
}

namespace {
int32_t FromBits(uint32_t bits) {
    if (bits <= 0x7FFFFFFFu)
        return static_cast<int32_t>(bits);
    return static_cast<int32_t>(bits - 0x80000000u) - 0x7FFFFFFF - 1;
}
}  // namespace

int32_t WrapAdd(int32_t a, int32_t b) {
    return FromBits(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
    return FromBits(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t WrapMul(int32_t a, int32_t b) {
    // uint32_t * uint32_t stays unsigned (int is 32 bits on every target), so it wraps.
    return FromBits(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

std::string FormatFixed2(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    // The largest finite double has 309 integer digits; with sign, point and two decimals the
    // text stays below 320 characters.
    char buffer[400];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (r.ec != std::errc()) {  // cannot happen with this buffer; keep printf as a fallback
        std::snprintf(buffer, sizeof buffer, "%.2f", value);
        return buffer;
    }
    return std::string(buffer, r.ptr);
}

}  // namespace mensurio
