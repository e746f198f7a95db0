#include "picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "fine_texture.h"

namespace clips {

namespace {

struct Rgb {
    float r, g, b;
};

void Put(Frame &frame, int32_t x, int32_t y, Rgb c) {
    uint8_t *p = frame.Pixel(x, y);
    p[0] = ToByte(c.b);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.r);
    p[3] = 0;
}

Rgb FromLumaChroma(float y, float cb, float cr) {
    return {y + 1.402f * cr, y - 0.344f * cb - 0.714f * cr, y + 1.772f * cb};
}

Rgb RandomColour(std::mt19937 &random, float low, float high) {
    return {float(Uniform(random, low, high)), float(Uniform(random, low, high)),
            float(Uniform(random, low, high))};
}

// Random texture, values about 0..1: random lattices of several spacings, each interpolated
// smoothly and added with weights that fall by `roughness` with each halving of the spacing
// (soft picture about 0.5, detailed picture 0.8).
class Texture {
public:
    Texture(int32_t width, int32_t height, int32_t coarsest, int octaves, float roughness,
            std::mt19937 &random)
        : width_(width), height_(height), values_(size_t(width) * size_t(height), 0.0f) {
        float weight = 1.0f, total = 0.0f;
        int32_t spacing = coarsest;
        for (int o = 0; o < octaves && spacing >= 2; ++o, spacing /= 2, weight *= roughness) {
            AddOctave(spacing, weight, random);
            total += weight;
        }
        for (float &v : values_)
            v /= total;
    }
    float At(int32_t x, int32_t y) const { return values_[size_t(y) * size_t(width_) + size_t(x)]; }

private:
    void AddOctave(int32_t spacing, float weight, std::mt19937 &random) {
        const int32_t cols = width_ / spacing + 2, rows = height_ / spacing + 2;
        std::vector<float> lattice(size_t(cols) * size_t(rows));
        for (float &v : lattice)
            v = float(Uniform(random, 0.0, 1.0));
        std::vector<float> ease(static_cast<size_t>(spacing));
        for (int32_t i = 0; i < spacing; ++i) {
            const float t = float(i) / float(spacing);
            ease[size_t(i)] = t * t * (3.0f - 2.0f * t);
        }
        for (int32_t y = 0; y < height_; ++y) {
            const int32_t gy = y / spacing;
            const float ty = ease[size_t(y % spacing)];
            const float *row0 = &lattice[size_t(gy) * size_t(cols)];
            const float *row1 = row0 + cols;
            float *out = &values_[size_t(y) * size_t(width_)];
            for (int32_t x = 0; x < width_; ++x) {
                const int32_t gx = x / spacing;
                const float tx = ease[size_t(x % spacing)];
                const float top = row0[gx] + (row0[gx + 1] - row0[gx]) * tx;
                const float bottom = row1[gx] + (row1[gx + 1] - row1[gx]) * tx;
                out[x] += weight * (top + (bottom - top) * ty);
            }
        }
    }

    int32_t width_, height_;
    std::vector<float> values_;
};

// Colour bars: the seven 75% bars over the whole frame, or with the castellations and the
// black-level strip below them as on a studio card. Still, like a card.
class Bars : public PictureMaker {
public:
    Bars(const ClipRecipe &recipe, std::mt19937 &random) : studio_(Chance(random, 0.5)) {
        (void)recipe;
    }
    void Render(int32_t, Frame &frame) override {
        if (card_.bgrx.empty())
            Draw(card_, frame.width, frame.height);
        frame.bgrx = card_.bgrx;
    }

private:
    void Draw(Frame &frame, int32_t width, int32_t height) {
        frame.width = width;
        frame.height = height;
        frame.bgrx.assign(size_t(width) * size_t(height) * 4, 0);
        static const Rgb kBars[7] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                     {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
        const int32_t w = frame.width, h = frame.height;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const int bar = int(int64_t(x) * 7 / w);
                Rgb c = kBars[bar];
                if (studio_ && y >= h * 2 / 3) {
                    if (y < h * 3 / 4) {
                        c = bar % 2 ? Rgb{16, 16, 16} : kBars[6 - bar];
                    } else {
                        const int part = int(int64_t(x) * 6 / w);
                        static const Rgb kLow[6] = {{0, 33, 76},  {235, 235, 235}, {50, 0, 106},
                                                    {16, 16, 16}, {9, 9, 9},       {26, 26, 26}};
                        c = kLow[part];
                    }
                }
                Put(frame, x, y, c);
            }
    }

    bool studio_;
    Frame card_;
};

struct Shape {
    bool round;
    float x, y, vx, vy, halfW, halfH;
    Rgb colour;
};

// Flat-shaded animation: a background of flat horizontal zones (sky, hills, ground) and
// flat shapes with dark outlines moving across it.
class Animation : public PictureMaker {
public:
    Animation(const ClipRecipe &recipe, std::mt19937 &random) {
        const int zones = Between(random, 1, 3);
        for (int z = 0; z < zones; ++z) {
            zoneEnds_.push_back(z + 1 == zones ? recipe.height
                                               : Between(random, recipe.height / 8,
                                                         recipe.height - recipe.height / 8));
            zoneColours_.push_back(RandomColour(random, 30, 230));
        }
        std::sort(zoneEnds_.begin(), zoneEnds_.end());
        const int shapes = Between(random, 2, 6);
        for (int i = 0; i < shapes; ++i) {
            Shape s;
            s.round = Chance(random, 0.5);
            s.halfW = float(Uniform(random, 0.03, 0.15) * recipe.width);
            s.halfH = float(Uniform(random, 0.03, 0.15) * recipe.height);
            s.x = float(Uniform(random, 0, recipe.width));
            s.y = float(Uniform(random, 0, recipe.height));
            s.vx = float(Uniform(random, -6, 6));
            s.vy = float(Uniform(random, -4, 4));
            s.colour = RandomColour(random, 20, 240);
            shapes_.push_back(s);
        }
        outline_ = float(std::max(1, recipe.width / 360));
    }
    void Render(int32_t frameIndex, Frame &frame) override {
        const int32_t w = frame.width, h = frame.height;
        for (int32_t y = 0; y < h; ++y) {
            size_t zone = 0;
            while (zone + 1 < zoneEnds_.size() && y >= zoneEnds_[zone])
                ++zone;
            for (int32_t x = 0; x < w; ++x)
                Put(frame, x, y, zoneColours_[zone]);
        }
        for (const Shape &s : shapes_) {
            const float cx = s.x + s.vx * float(frameIndex), cy = s.y + s.vy * float(frameIndex);
            const int32_t x0 = std::max(0, int32_t(cx - s.halfW - outline_));
            const int32_t x1 = std::min(w - 1, int32_t(cx + s.halfW + outline_));
            const int32_t y0 = std::max(0, int32_t(cy - s.halfH - outline_));
            const int32_t y1 = std::min(h - 1, int32_t(cy + s.halfH + outline_));
            for (int32_t y = y0; y <= y1; ++y)
                for (int32_t x = x0; x <= x1; ++x) {
                    const float dx = std::fabs(float(x) - cx), dy = std::fabs(float(y) - cy);
                    float inside;  // > 0 inside, in pixels from the outline
                    if (s.round) {
                        const float r = std::sqrt(dx * dx / (s.halfW * s.halfW) +
                                                  dy * dy / (s.halfH * s.halfH));
                        inside = (1.0f - r) * std::min(s.halfW, s.halfH);
                    } else {
                        inside = std::min(s.halfW - dx, s.halfH - dy);
                    }
                    if (inside >= outline_)
                        Put(frame, x, y, s.colour);
                    else if (inside >= -outline_)
                        Put(frame, x, y, {20, 20, 24});
                }
        }
    }

private:
    std::vector<int32_t> zoneEnds_;
    std::vector<Rgb> zoneColours_;
    std::vector<Shape> shapes_;
    float outline_;
};

// Textured, moving picture like live action: a detailed texture the camera pans over, with
// slow colour changes across it and soft blobs moving on their own. Dark scenes are the
// same, low and with a few bright lights.
class LiveAction : public PictureMaker {
public:
    LiveAction(const ClipRecipe &recipe, std::mt19937 &random, bool dark)
        : dark_(dark),
          panX_(float(Uniform(random, -3, 3))),
          panY_(float(Uniform(random, -2, 2))),
          margin_(int32_t(std::ceil(3.0 * recipe.frames)) + 2),
          detail_(recipe.width + 2 * margin_, recipe.height + 2 * margin_,
                  std::max(16, recipe.width / Between(random, 4, 16)), 6,
                  float(Uniform(random, 0.5, 0.8)), random),
          tint_(recipe.width / 8 + 2 * margin_ / 8 + 4, recipe.height / 8 + 2 * margin_ / 8 + 4, 16,
                2, 0.5f, random) {
        low_ = dark ? float(Uniform(random, 2, 20)) : float(Uniform(random, 0, 60));
        range_ = dark ? float(Uniform(random, 25, 70)) : float(Uniform(random, 120, 230));
        contrast_ = float(Uniform(random, 1.0, 2.2));
        const int blobs = Between(random, 1, 4);
        for (int i = 0; i < blobs; ++i) {
            Shape s;
            s.round = true;
            s.halfW = float(Uniform(random, 0.02, 0.12) * recipe.width);
            s.halfH = s.halfW * float(Uniform(random, 0.6, 1.6));
            s.x = float(Uniform(random, 0, recipe.width));
            s.y = float(Uniform(random, 0, recipe.height));
            s.vx = float(Uniform(random, -5, 5));
            s.vy = float(Uniform(random, -3, 3));
            s.colour = dark ? RandomColour(random, 150, 255) : RandomColour(random, 10, 245);
            if (dark) {  // lamps are small
                s.halfW *= 0.3f;
                s.halfH *= 0.3f;
            }
            blobs_.push_back(s);
        }
    }
    void Render(int32_t frameIndex, Frame &frame) override {
        const int32_t w = frame.width, h = frame.height;
        if (scene_.bgrx.empty())
            PaintScene(w + 2 * margin_, h + 2 * margin_);
        // The camera's pan: this frame's window onto the scene.
        const int32_t ox = margin_ + int32_t(std::lround(panX_ * float(frameIndex)));
        const int32_t oy = margin_ + int32_t(std::lround(panY_ * float(frameIndex)));
        for (int32_t y = 0; y < h; ++y)
            std::copy_n(scene_.Pixel(ox, y + oy), size_t(w) * 4, frame.Pixel(0, y));
        for (const Shape &s : blobs_) {
            const float cx = s.x + s.vx * float(frameIndex), cy = s.y + s.vy * float(frameIndex);
            const int32_t x0 = std::max(0, int32_t(cx - s.halfW)),
                          x1 = std::min(w - 1, int32_t(cx + s.halfW));
            const int32_t y0 = std::max(0, int32_t(cy - s.halfH)),
                          y1 = std::min(h - 1, int32_t(cy + s.halfH));
            for (int32_t y = y0; y <= y1; ++y)
                for (int32_t x = x0; x <= x1; ++x) {
                    const float dx = (float(x) - cx) / s.halfW, dy = (float(y) - cy) / s.halfH;
                    const float a = 1.0f - (dx * dx + dy * dy);
                    if (a <= 0.0f)
                        continue;
                    const float k = std::min(1.0f, a * 2.0f);
                    uint8_t *p = frame.Pixel(x, y);
                    p[0] = ToByte(p[0] + (s.colour.b - p[0]) * k);
                    p[1] = ToByte(p[1] + (s.colour.g - p[1]) * k);
                    p[2] = ToByte(p[2] + (s.colour.r - p[2]) * k);
                }
        }
    }

private:
    void PaintScene(int32_t width, int32_t height) {
        scene_.width = width;
        scene_.height = height;
        scene_.bgrx.assign(size_t(width) * size_t(height) * 4, 0);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                float t = (detail_.At(x, y) - 0.5f) * contrast_ + 0.5f;
                t = std::clamp(t, 0.0f, 1.0f);
                const float tint = tint_.At(x / 8, y / 8) - 0.5f;
                const float luma = low_ + range_ * t;
                const float chroma = dark_ ? 0.3f : 1.0f;
                Put(scene_, x, y,
                    FromLumaChroma(luma, 60.0f * tint * chroma, -45.0f * tint * chroma));
            }
    }

    bool dark_;
    float panX_, panY_;
    int32_t margin_;
    Texture detail_, tint_;
    Frame scene_;
    float low_, range_, contrast_;
    std::vector<Shape> blobs_;
};

// Picture made for another frame shape: straight black bars above and below it, and
// sometimes beside it too.
class Letterboxed : public PictureMaker {
public:
    Letterboxed(const ClipRecipe &recipe, std::mt19937 &random)
        : inner_(Chance(random, 0.5)
                     ? std::unique_ptr<PictureMaker>(new LiveAction(recipe, random, false))
                     : std::unique_ptr<PictureMaker>(new Animation(recipe, random))),
          bar_(Between(random, recipe.height / 16, recipe.height / 7)),
          side_(Chance(random, 0.4) ? Between(random, 2, std::max(2, recipe.width / 45)) : 0),
          level_(float(Between(random, 0, 16))) {}
    void Render(int32_t frameIndex, Frame &frame) override {
        inner_->Render(frameIndex, frame);
        const Rgb black{level_, level_, level_};
        for (int32_t y = 0; y < frame.height; ++y)
            for (int32_t x = 0; x < frame.width; ++x)
                if (y < bar_ || y >= frame.height - bar_ || x < side_ || x >= frame.width - side_)
                    Put(frame, x, y, black);
    }

private:
    std::unique_ptr<PictureMaker> inner_;
    int32_t bar_, side_;
    float level_;
};

// Textured picture with still graphics near its edges: a bright or dark stripe across the
// frame a few rows from the top or bottom, a line a few columns from a side, and a
// checkered badge in a corner.
class StrongEdges : public PictureMaker {
public:
    StrongEdges(const ClipRecipe &recipe, std::mt19937 &random)
        : inner_(recipe, random, Chance(random, 0.3)) {
        stripeFromTop_ = Chance(random, 0.5);
        stripeAt_ = Between(random, 2, 14);
        stripeRows_ = Between(random, 1, 5);
        stripe_ = Chance(random, 0.5) ? 235.0f : 10.0f;
        lineFromLeft_ = Chance(random, 0.5);
        lineAt_ = Between(random, 2, 14);
        lineColumns_ = Between(random, 1, 4);
        line_ = Chance(random, 0.5) ? 240.0f : 5.0f;
        badge_ = Between(random, 12, 40);
        square_ = Between(random, 2, 6);
    }
    void Render(int32_t frameIndex, Frame &frame) override {
        inner_.Render(frameIndex, frame);
        const int32_t w = frame.width, h = frame.height;
        for (int32_t r = 0; r < stripeRows_; ++r) {
            const int32_t y = stripeFromTop_ ? stripeAt_ + r : h - 1 - stripeAt_ - r;
            for (int32_t x = 0; x < w; ++x)
                Put(frame, x, y, {stripe_, stripe_, stripe_});
        }
        for (int32_t c = 0; c < lineColumns_; ++c) {
            const int32_t x = lineFromLeft_ ? lineAt_ + c : w - 1 - lineAt_ - c;
            for (int32_t y = 0; y < h; ++y)
                Put(frame, x, y, {line_, line_, line_});
        }
        for (int32_t y = 0; y < badge_; ++y)
            for (int32_t x = 0; x < badge_; ++x) {
                const float v = ((x / square_) + (y / square_)) % 2 ? 250.0f : 0.0f;
                Put(frame, w - 1 - x, y, {v, v, v});
            }
    }

private:
    LiveAction inner_;
    bool stripeFromTop_, lineFromLeft_;
    int32_t stripeAt_, stripeRows_, lineAt_, lineColumns_, badge_, square_;
    float stripe_, line_;
};

}  // namespace

std::unique_ptr<PictureMaker> MakePicture(const ClipRecipe &recipe, std::mt19937 &random) {
    switch (recipe.content) {
    case Content::Bars:
        return std::make_unique<Bars>(recipe, random);
    case Content::Animation:
        return std::make_unique<Animation>(recipe, random);
    case Content::LiveAction:
        return std::make_unique<LiveAction>(recipe, random, false);
    case Content::DarkScene:
        return std::make_unique<LiveAction>(recipe, random, true);
    case Content::Letterboxed:
        return std::make_unique<Letterboxed>(recipe, random);
    case Content::StrongEdges:
        return std::make_unique<StrongEdges>(recipe, random);
    case Content::FineTexture:
        return MakeFineTexture(recipe, random, false);
    case Content::ColourfulTexture:
        break;
    }
    return MakeFineTexture(recipe, random, true);
}

void AddGrain(Frame &frame, float spread, PixelNoise &noise, bool colour) {
    if (spread <= 0.0f)
        return;
    // Grain from a table of noise read from a random place for every row: the same grain
    // statistics at a fraction of the cost of drawing every pixel's own.
    constexpr size_t kTable = 1 << 16;
    static thread_local std::vector<int16_t> table;
    static thread_local float tableSpread = -1.0f;
    if (tableSpread != spread) {
        PixelNoise tableNoise(12345u);
        table.resize(kTable);
        for (int16_t &g : table)
            g = int16_t(std::lround(tableNoise.Next() * spread));
        tableSpread = spread;
    }
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint32_t bits = noise.Bits();
        // Colour grain reads each channel from its own place in the table.
        const size_t start[3] = {bits & (kTable - 1), colour ? (bits >> 8) & (kTable - 1) : 0,
                                 colour ? (bits >> 16) & (kTable - 1) : 0};
        uint8_t *p = frame.Pixel(0, y);
        for (int32_t x = 0; x < frame.width; ++x, p += 4)
            for (int c = 0; c < 3; ++c) {
                const int g = table[(start[colour ? c : 0] + size_t(x)) & (kTable - 1)];
                p[c] = uint8_t(std::clamp(p[c] + g, 0, 255));
            }
    }
}

}  // namespace clips
