#include "damage.h"

#include <algorithm>
#include <cmath>

namespace clips {

namespace {

// Damage extents are given for a standard-definition frame and scaled with the frame.
int32_t Scaled(int32_t lines, int32_t extent, int32_t standard) {
    return std::max(1, int32_t(std::lround(double(lines) * extent / standard)));
}

}  // namespace

HeadSwitching::HeadSwitching(int32_t width, int32_t height, std::mt19937 &random, float colourNoise)
    : colourNoise_(colourNoise) {
    rows_ = std::max(2, Scaled(Between(random, 3, 12), height, 576));
    widestShift_ = Scaled(Between(random, 6, 48), width, 720);
    growth_ = Uniform(random, 0.6, 2.5);
    noise_ = Uniform(random, 4.0, 40.0);
    disturbance_ = Uniform(random, 0.0, 30.0);
    direction_ = Chance(random, 0.8) ? 1 : -1;
    const int fill = Between(random, 0, 2);
    fill_ = fill == 0 ? Fill::Black : fill == 1 ? Fill::Noise : Fill::Wrap;
    blanked_ = Chance(random, 0.25);
}

void HeadSwitching::Apply(Frame &frame, std::mt19937 &random, PixelNoise &noise,
                          PixelNoise &speckle) {
    const int32_t w = frame.width;
    // Some frames tear one row less.
    const int32_t rows = Chance(random, 0.3) ? std::max(1, rows_ - 1) : rows_;
    const double widest = widestShift_ * Uniform(random, 0.4, 1.0);
    const bool partial = Chance(random, 0.4);
    row_.resize(size_t(w) * 4);
    for (int32_t k = 1; k <= rows; ++k) {  // k = rows is the bottom row
        const int32_t y = frame.height - 1 - (rows - k);
        const double t = double(k) / rows;
        int32_t shift =
            int32_t(std::lround(widest * std::pow(t, growth_) + Uniform(random, -1.5, 1.5)));
        shift = std::max(1, shift);
        const int32_t dir = Chance(random, 0.9) ? direction_ : -direction_;
        const int32_t from = partial && k == 1 ? Between(random, w / 8, w * 3 / 4) : 0;
        uint8_t *line = frame.Pixel(0, y);
        std::copy(line, line + size_t(w) * 4, row_.begin());
        const float spread = float(noise_ * (0.3 + 0.7 * t));
        const float lift = float(Uniform(random, -disturbance_, disturbance_));
        const float red = float(Uniform(random, -disturbance_, disturbance_) * 0.5);
        const float blue = float(Uniform(random, -disturbance_, disturbance_) * 0.5);
        const bool blank = blanked_ && k == rows;
        for (int32_t x = from; x < w; ++x) {
            const int32_t sx = x - dir * shift;
            uint8_t *p = line + size_t(x) * 4;
            float b, g, r;
            if (sx >= 0 && sx < w) {
                const uint8_t *q = &row_[size_t(sx) * 4];
                b = q[0], g = q[1], r = q[2];
            } else if (fill_ == Fill::Wrap) {
                const uint8_t *q = &row_[size_t((sx % w + w) % w) * 4];
                b = q[0], g = q[1], r = q[2];
            } else {
                const float v = fill_ == Fill::Black ? 12.0f : 90.0f + 50.0f * noise.Next();
                b = g = r = v;
            }
            if (blank)
                b = g = r = 16.0f;
            const float n = noise.Next() * spread;
            float nb = n, ng = n, nr = n;
            if (colourNoise_ > 0.0f) {
                const float own = colourNoise_ * spread, common = 1.0f - colourNoise_;
                nb = n * common + speckle.Next() * own;
                ng = n * common + speckle.Next() * own;
                nr = n * common + speckle.Next() * own;
            }
            p[0] = ToByte(b + nb + lift + blue);
            p[1] = ToByte(g + ng + lift);
            p[2] = ToByte(r + nr + lift + red);
        }
    }
}

DarkColumns::DarkColumns(int32_t width, int32_t height, std::mt19937 &random) {
    (void)height;
    const int which = Between(random, 0, 2);  // left, right or both
    for (int s = 0; s < 2; ++s) {
        SideColumns &c = sides_[size_t(s)];
        c.present = which == 2 || which == s;
        c.width = Scaled(Between(random, 2, 14), width, 720);
        c.rowSwing = Scaled(Between(random, 1, 4), width, 720);
        c.frameSwing = Between(random, 0, 2);
        c.smoothRows = Chance(random, 0.5);
        c.soft = Chance(random, 0.4);
        c.level = float(Chance(random, 0.5) ? Uniform(random, 0, 16) : Uniform(random, 16, 60));
        c.noise = float(Chance(random, 0.5) ? 0.0 : Uniform(random, 1.0, 6.0));
    }
}

void DarkColumns::Apply(Frame &frame, std::mt19937 &random, PixelNoise &noise) {
    for (int s = 0; s < 2; ++s) {
        const SideColumns &c = sides_[size_t(s)];
        if (!c.present)
            continue;
        const int32_t base = c.width + Between(random, -c.frameSwing, c.frameSwing);
        double wander = Uniform(random, -c.rowSwing, c.rowSwing);
        for (int32_t y = 0; y < frame.height; ++y) {
            double swing;
            if (c.smoothRows) {  // a slow wander down the frame
                wander += Uniform(random, -0.5, 0.5);
                wander = std::clamp(wander, double(-c.rowSwing), double(c.rowSwing));
                swing = wander;
            } else {
                swing = Uniform(random, -c.rowSwing, c.rowSwing);
            }
            const int32_t width =
                std::clamp(int32_t(std::lround(base + swing)), 1, frame.width / 4);
            const int32_t altered = width + (c.soft ? 1 : 0);
            for (int32_t i = 0; i < altered; ++i) {
                const int32_t x = s == 0 ? i : frame.width - 1 - i;
                uint8_t *p = frame.Pixel(x, y);
                const float v = c.level + noise.Next() * c.noise;
                const float keep = i < width ? 0.0f : 0.5f;  // the half-dark column
                for (int ch = 0; ch < 3; ++ch)
                    p[ch] = ToByte(p[ch] * keep + v * (1.0f - keep));
            }
        }
    }
}

BrightTopLine::BrightTopLine(int32_t width, int32_t height, std::mt19937 &random) {
    (void)width;
    rows_ = Between(random, 1, height > 700 ? 3 : 2);
    lift_ = float(Uniform(random, 35, 130));
    flicker_ = Chance(random, 0.5) ? Uniform(random, 0.3, 0.75) : 0.0;
    presence_ = Chance(random, 0.6) ? 1.0 : Uniform(random, 0.5, 0.95);
    whiten_ = Chance(random, 0.3);
}

void BrightTopLine::Apply(Frame &frame, std::mt19937 &random, bool first) {
    if (!first && !Chance(random, presence_))
        return;
    const float strength = float(1.0 - flicker_ * Uniform(random, 0.0, 1.0));
    for (int32_t y = 0; y < rows_; ++y) {
        const float lift = lift_ * strength * (y == 0 ? 1.0f : float(Uniform(random, 0.5, 1.0)));
        for (int32_t x = 0; x < frame.width; ++x) {
            uint8_t *p = frame.Pixel(x, y);
            for (int ch = 0; ch < 3; ++ch)
                p[ch] = whiten_ ? ToByte(p[ch] + (235.0f - p[ch]) * lift / 130.0f)
                                : ToByte(p[ch] + lift);
        }
    }
}

}  // namespace clips
