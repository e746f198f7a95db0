// Reading the numbers the user typed.
#pragma once
#include <cstdint>

namespace mensurio {

// atoi's reading: leading white space skipped, an optional sign, then decimal digits up to the
// first other character; 0 when no digit leads. A number beyond the signed 32-bit range gives
// the nearest end of the range instead of atoi's undefined result.
int32_t AtoiSaturating(const char *text);

}  // namespace mensurio
