// The sixteen region values as the filter's hosts see them: in the order of the script call
// Config(...) (Top, Bottom, Right, Left; each smear, black, fade, stretch), each with the
// setting it holds, a property-style name, the dialog's caption and the dialog's range.
#pragma once

#include <array>
#include <cstdint>

#include "border_settings.h"

namespace kantora {

enum class Band { Smear, Black, Fade, Stretch };

struct ConfigValue {
    Side side;
    Band band;
    const char *property;  // "top-smear", ... "left-stretch"
    const char *caption;   // as the dialog labels it, its misspelling included
    int32_t minimum, maximum;
};

constexpr int kConfigValueCount = 16;
using ConfigValues = std::array<int32_t, kConfigValueCount>;

// The dialog steps every value within 0..255; scripts may bring any 32-bit value.
constexpr int32_t kDialogMinimum = 0;
constexpr int32_t kDialogMaximum = 255;

constexpr std::array<ConfigValue, kConfigValueCount> kConfigLayout = {{
    {Top, Band::Smear, "top-smear", "Smear Region", kDialogMinimum, kDialogMaximum},
    {Top, Band::Black, "top-black", "Black Region", kDialogMinimum, kDialogMaximum},
    {Top, Band::Fade, "top-fade", "Fade Region", kDialogMinimum, kDialogMaximum},
    {Top, Band::Stretch, "top-stretch", "Strech Factor", kDialogMinimum, kDialogMaximum},
    {Bottom, Band::Smear, "bottom-smear", "Smear Region", kDialogMinimum, kDialogMaximum},
    {Bottom, Band::Black, "bottom-black", "Black Region", kDialogMinimum, kDialogMaximum},
    {Bottom, Band::Fade, "bottom-fade", "Fade Region", kDialogMinimum, kDialogMaximum},
    {Bottom, Band::Stretch, "bottom-stretch", "Strech Factor", kDialogMinimum, kDialogMaximum},
    {Right, Band::Smear, "right-smear", "Smear Region", kDialogMinimum, kDialogMaximum},
    {Right, Band::Black, "right-black", "Black Region", kDialogMinimum, kDialogMaximum},
    {Right, Band::Fade, "right-fade", "Fade Region", kDialogMinimum, kDialogMaximum},
    {Right, Band::Stretch, "right-stretch", "Strech Factor", kDialogMinimum, kDialogMaximum},
    {Left, Band::Smear, "left-smear", "Smear Region", kDialogMinimum, kDialogMaximum},
    {Left, Band::Black, "left-black", "Black Region", kDialogMinimum, kDialogMaximum},
    {Left, Band::Fade, "left-fade", "Fade Region", kDialogMinimum, kDialogMaximum},
    {Left, Band::Stretch, "left-stretch", "Strech Factor", kDialogMinimum, kDialogMaximum},
}};

// The field that holds one edge's value of one band.
int32_t &BandValue(BorderSettings &settings, Side side, Band band);
int32_t BandValue(const BorderSettings &settings, Side side, Band band);

// The sixteen values in the layout's order, and back; nothing else of the record is touched.
ConfigValues ConfigValuesOf(const BorderSettings &settings);
void SetConfigValues(BorderSettings &settings, const ConfigValues &values);

}  // namespace kantora
