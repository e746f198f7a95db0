#include "text_number.h"

#include <cctype>
#include <limits>

namespace mensurio {

int32_t AtoiSaturating(const char *text) {
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    while (std::isspace(*p))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    // Magnitude up to 2^31, enough to tell every saturated value apart.
    const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

}  // namespace mensurio
