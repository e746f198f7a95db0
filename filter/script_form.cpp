#include "script_form.h"

#include <cstdio>

namespace {

// Script order of the edges; the settings arrays are indexed by Side.
constexpr Side kScriptEdgeOrder[] = {Top, Bottom, Right, Left};

}  // namespace

void ScriptValuesFromSettings(const BorderSettings &s, int32_t values[kScriptValueCount]) {
    int k = 0;
    for (Side side : kScriptEdgeOrder) {
        values[k++] = s.smearRegion[side];
        values[k++] = s.blackRegion[side];
        values[k++] = s.fadeRegion[side];
        values[k++] = s.stretchFactor[side];
    }
}

void SettingsFromScriptValues(BorderSettings &s, const int32_t values[kScriptValueCount]) {
    int k = 0;
    for (Side side : kScriptEdgeOrder) {
        s.smearRegion[side] = values[k++];
        s.blackRegion[side] = values[k++];
        s.fadeRegion[side] = values[k++];
        s.stretchFactor[side] = values[k++];
    }
}

bool WriteConfigCall(const BorderSettings &s, char *buffer, int bufferSize) {
    if (buffer == nullptr || bufferSize <= 0)
        return false;
    int32_t v[kScriptValueCount];
    ScriptValuesFromSettings(s, v);
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
