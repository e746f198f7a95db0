// Decimal numbers on the command line: digits only, no sign, within given bounds.
#pragma once

#include <cstdint>
#include <string_view>

namespace filterhost {

// True with `value` set when `text` is one to nine decimal digits whose value lies within
// [minimum, maximum].
inline bool ParseDecimal(std::string_view text, int32_t minimum, int32_t maximum, int32_t &value) {
    if (text.empty() || text.size() > 9)
        return false;
    int32_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    if (result < minimum || result > maximum)
        return false;
    value = result;
    return true;
}

}  // namespace filterhost
