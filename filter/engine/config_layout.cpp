#include "config_layout.h"

namespace kantora {

int32_t &BandValue(BorderSettings &s, Side side, Band band) {
    switch (band) {
    case Band::Smear:
        return s.smearRegion[side];
    case Band::Black:
        return s.blackRegion[side];
    case Band::Fade:
        return s.fadeRegion[side];
    case Band::Stretch:
        break;
    }
    return s.stretchFactor[side];
}

int32_t BandValue(const BorderSettings &s, Side side, Band band) {
    return BandValue(const_cast<BorderSettings &>(s), side, band);
}

ConfigValues ConfigValuesOf(const BorderSettings &s) {
    ConfigValues values{};
    for (int k = 0; k < kConfigValueCount; ++k)
        values[k] = BandValue(s, kConfigLayout[k].side, kConfigLayout[k].band);
    return values;
}

void SetConfigValues(BorderSettings &s, const ConfigValues &values) {
    for (int k = 0; k < kConfigValueCount; ++k)
        BandValue(s, kConfigLayout[k].side, kConfigLayout[k].band) = values[k];
}

}  // namespace kantora
