#include "script_form.h"

#include <cstdio>

#include "config_layout.h"

namespace kantora {

bool WriteConfigCall(const BorderSettings &s, char *buffer, int bufferSize) {
    if (buffer == nullptr || bufferSize <= 0)
        return false;
    const ConfigValues v = ConfigValuesOf(s);
    static_assert(kConfigValueCount == 16, "the format names sixteen values");
    const int length = std::snprintf(
        buffer, static_cast<size_t>(bufferSize),
        "Config(%d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d)", v[0], v[1], v[2],
        v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15]);
    // snprintf cuts and terminates; a cut call is reported, not saved.
    return length >= 0 && length < bufferSize;
}

void WriteSummary(const BorderSettings &s, char *buffer) {
    std::snprintf(buffer, kSummarySize, "(Top: %d,%d,%d. Bot: %d,%d,%d)", s.smearRegion[Top],
                  s.blackRegion[Top], s.fadeRegion[Top], s.smearRegion[Bottom],
                  s.blackRegion[Bottom], s.fadeRegion[Bottom]);
}

}  // namespace kantora
