// The filter's settings as script text: a host saves each instance as one call
//   Config(top smear, top black, top fade, top stretch, bottom ..., right ..., left ...)
// (the values in the order of kConfigLayout) and restores it by running that call. Also the
// one-line summary of a host's filter list.
#pragma once

#include "border_settings.h"

namespace kantora {

constexpr const char *kConfigFunctionName = "Config";
constexpr const char *kConfigSignature = "0iiiiiiiiiiiiiiii";

// Size of the summary buffer, terminating zero included. Sixteen 32-bit values never need
// more than 84 characters, so nothing real is ever cut.
constexpr int kSummarySize = 128;

// Writes the Config call into buffer[0..bufferSize). Never writes past the buffer and always
// leaves a terminated string in it (when bufferSize > 0). Returns false when the whole call
// does not fit: a cut call would make the saved script fail to load.
bool WriteConfigCall(const BorderSettings &settings, char *buffer, int bufferSize);

// "(Top: smear,black,fade. Bot: smear,black,fade)" into a buffer of kSummarySize bytes.
void WriteSummary(const BorderSettings &settings, char *buffer);

}  // namespace kantora
