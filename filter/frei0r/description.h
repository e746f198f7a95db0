// The frei0r plug-in as its hosts list it: its name, and its parameters. First `config`, a
// Config(...) line as VirtualDub saves it, then the sixteen region values in the order of that
// line, each a frei0r double standing for whole lines. The names come from the engine's Config
// layout; the plug-in and the Kdenlive effect description both read them from here.
#pragma once

#include <cstdint>

#include "config_layout.h"

namespace kantora::frei0r {

constexpr char kPluginName[] = "Kantora";
constexpr char kAuthor[] = "Tessaly";
constexpr char kExplanation[] =
    "Improves picture near borders: paints, smears and fades bands at the four picture edges, "
    "with the settings of the VirtualDub filter of the same name";

enum class ParamKind { Text, Lines };

struct ParamDescription {
    const char *name;  // "config", "top-smear", ...
    ParamKind kind;
    const char *title;        // "Config line", "Top: Smear Region", ...
    const char *explanation;  // one sentence, with the mapping of the value to lines
};

constexpr int kConfigParam = 0;
constexpr int kParamCount = 1 + kConfigValueCount;

// Parameter `index` in 0..kParamCount-1; parameter k + 1 holds the Config layout's value k.
const ParamDescription &ParamAt(int index);

// A frei0r double of a region value as whole lines: value x 255, rounded half away from zero.
// Values beyond 0..1 map on alike; NaN is 0 and the rest is held within 32 bits.
constexpr double kLinesPerUnit = 255.0;
int32_t LinesFromValue(double value);

}  // namespace kantora::frei0r
