#include "test_card.h"

#include <cstdlib>

namespace filterhost {

namespace {

struct Colour {
    uint8_t r, g, b;
};

void Put(HostBitmap &picture, int x, int y, Colour c) {
    uint8_t *pixel = picture.PictureRowBytes(y) + size_t(x) * 4;
    pixel[0] = c.b;
    pixel[1] = c.g;
    pixel[2] = c.r;
    pixel[3] = 0;
}

// Small deterministic generator, so that every card is the same.
uint32_t NextRandom(uint32_t &state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Border widths wander from row to row, as on a badly captured tape.
int UnevenWidth(int y, int minimum, int maximum, int period) {
    const int span = maximum - minimum + 1;
    const int phase = (y / 3) % period;
    return minimum + (phase < period / 2 ? phase : period - phase) * span / (period / 2 + 1);
}

Colour CardColour(int x, int y, int width, int height) {
    static const Colour kBars[] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                                   {235, 16, 235},  {235, 16, 16},  {16, 16, 235},  {16, 16, 16}};
    if ((x % 40 == 20) || (y % 40 == 20))
        return {255, 255, 255};  // grid
    const int dx = x - width / 2, dy = y - height / 2;
    const int radius2 = dx * dx + dy * dy;
    if (radius2 >= 80 * 80 && radius2 < 83 * 83)
        return {255, 255, 0};  // circle
    if (y < height * 3 / 5)
        return kBars[x * 8 / width];
    const uint8_t grey = static_cast<uint8_t>(x * 255 / (width - 1));
    return {grey, grey, grey};
}

}  // namespace

HostBitmap MakeTestCard() {
    HostBitmap card(kTestCardWidth, kTestCardHeight);
    uint32_t random = 12345;
    for (int y = 0; y < card.Height(); ++y) {
        const int left = UnevenWidth(y, 3, kTestCardLeftDamageMax, 14);
        const int right = UnevenWidth(y + 7, 2, kTestCardRightDamageMax, 10);
        for (int x = 0; x < card.Width(); ++x) {
            Colour c = CardColour(x, y, card.Width(), card.Height());
            if (y < kTestCardTopDamage) {
                c = (x / 4) % 2 ? Colour{255, 255, 255} : Colour{255, 0, 255};
            } else if (y >= card.Height() - kTestCardBottomDamage) {
                const uint32_t noise = NextRandom(random);
                c = {static_cast<uint8_t>(noise), static_cast<uint8_t>(noise >> 8),
                     static_cast<uint8_t>(noise >> 16)};
            } else if (x < left || x >= card.Width() - right) {
                const uint8_t dark = static_cast<uint8_t>(8 + NextRandom(random) % 24);
                c = {dark, dark, dark};
            }
            Put(card, x, y, c);
        }
    }
    return card;
}

}  // namespace filterhost
