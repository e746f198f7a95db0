// A test card with the kind of damage the border filter repairs: a garbage line at the top,
// a band of noise at the bottom, and dark side borders of uneven width. The preview shows it
// when --configure names no input; the testcard tool writes it.
#pragma once

#include <cstdint>

#include "host_bitmap.h"

namespace filterhost {

constexpr int32_t kTestCardWidth = 320;
constexpr int32_t kTestCardHeight = 240;

// Extent of the damage, counted from each edge.
constexpr int kTestCardTopDamage = 2;       // rows
constexpr int kTestCardBottomDamage = 10;   // rows
constexpr int kTestCardLeftDamageMax = 9;   // columns, at least 3 in every row
constexpr int kTestCardRightDamageMax = 6;  // columns, at least 2 in every row

// Settings that repair it: the top rows smeared from the first clean row, the bottom noise and
// the left border covered by straight black bands (the bottom one fading into the picture), the
// right border smeared from the first clean column.
constexpr const char *kTestCardRepairConfig =
    "Config(3, 0, 0, 0, 0, 10, 20, 0, 7, 0, 0, 0, 0, 10, 0, 0)";

HostBitmap MakeTestCard();

}  // namespace filterhost
