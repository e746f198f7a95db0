#include "fine_texture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace clips {

namespace {

// A cellular pattern on a torus a little larger than the frame, so that it scrolls without
// end: points placed at random about `size` pixels apart, and every pixel belonging to the
// nearest point; where two points are about as near, a dark line between the cells in some
// textures. The cells' colours are drawn again, some of them in every frame.
class FineTexture : public PictureMaker {
public:
    FineTexture(const ClipRecipe &recipe, std::mt19937 &random, bool colourful)
        : colourful_(colourful),
          size_(Between(random, 2, 6)),
          columns_((recipe.width + size_ - 1) / size_),
          rows_((recipe.height + size_ - 1) / size_),
          low_(float(Uniform(random, 0, 60))),
          high_(float(Uniform(random, 170, 255))),
          lines_(size_ >= 4 && Chance(random, 0.5) ? float(Uniform(random, 0.5, 1.0)) : 0.0f),
          changing_(Chance(random, 0.5) ? Uniform(random, 0.05, 0.5) : 0.0),
          own_(random()) {
        do {
            scrollX_ = Between(random, -4, 4);
            scrollY_ = Between(random, -3, 3);
        } while (scrollX_ == 0 && scrollY_ == 0);
        Lay(random);
        colours_.resize(points_);
        for (uint32_t &c : colours_)
            c = Colour(random);
    }

    void Render(int32_t frameIndex, Frame &frame) override {
        if (frameIndex > 0 && changing_ > 0.0)
            for (uint32_t &c : colours_)
                if (Chance(own_, changing_))
                    c = Colour(own_);
        const int32_t w = width_, h = height_;
        const int32_t ox = Wrap(scrollX_ * frameIndex, w), oy = Wrap(scrollY_ * frameIndex, h);
        const uint32_t line = Grey(low_ * 0.5f);
        for (int32_t y = 0; y < frame.height; ++y) {
            const size_t from = size_t((y + oy) % h) * size_t(w);
            uint8_t *out = frame.Pixel(0, y);
            for (int32_t x = 0; x < frame.width; ++x, out += 4) {
                const size_t at = from + size_t((x + ox) % w);
                const uint32_t c = onLine_[at] ? line : colours_[cell_[at]];
                std::memcpy(out, &c, 4);
            }
        }
    }

private:
    static int32_t Wrap(int32_t v, int32_t n) { return (v % n + n) % n; }
    static uint32_t Pack(float b, float g, float r) {
        return uint32_t(ToByte(b)) | uint32_t(ToByte(g)) << 8 | uint32_t(ToByte(r)) << 16;
    }
    static uint32_t Grey(float v) { return Pack(v, v, v); }

    uint32_t Colour(std::mt19937 &random) const {
        if (!colourful_)
            return Grey(float(Uniform(random, low_, high_)));
        return Pack(float(Uniform(random, low_, high_)), float(Uniform(random, low_, high_)),
                    float(Uniform(random, low_, high_)));
    }

    // Each pixel's nearest point. The points lie at random, none to two of them in each grid
    // cell (one on average), so that the pattern has no grid to it; a pixel's nearest point
    // and the next lie in its own cell or the 24 around it.
    void Lay(std::mt19937 &random) {
        width_ = columns_ * size_;
        height_ = rows_ * size_;
        std::vector<uint32_t> first(size_t(columns_) * size_t(rows_) + 1);
        std::vector<float> px, py;  // within their cell
        for (size_t c = 0; c + 1 < first.size(); ++c) {
            first[c] = uint32_t(px.size());
            static const int kCounts[4] = {0, 1, 1, 2};
            for (int k = kCounts[Between(random, 0, 3)]; k > 0; --k) {
                px.push_back(float(Uniform(random, 0, size_)));
                py.push_back(float(Uniform(random, 0, size_)));
            }
        }
        first.back() = uint32_t(px.size());
        points_ = px.size();
        cell_.resize(size_t(width_) * size_t(height_));
        onLine_.resize(cell_.size());
        struct Candidate {
            float x, y;
            uint32_t id;
        };
        std::vector<Candidate> near;
        for (int32_t cy = 0; cy < rows_; ++cy)
            for (int32_t cx = 0; cx < columns_; ++cx) {
                near.clear();
                for (int32_t gy = cy - 2; gy <= cy + 2; ++gy)
                    for (int32_t gx = cx - 2; gx <= cx + 2; ++gx) {
                        const size_t c =
                            size_t(Wrap(gy, rows_)) * size_t(columns_) + size_t(Wrap(gx, columns_));
                        for (uint32_t i = first[c]; i < first[c + 1]; ++i)
                            near.push_back(
                                {float(gx * size_) + px[i], float(gy * size_) + py[i], i});
                    }
                for (int32_t y = cy * size_; y < (cy + 1) * size_; ++y)
                    for (int32_t x = cx * size_; x < (cx + 1) * size_; ++x) {
                        float nearest = 1e9f, second = 1e9f;  // squared distances
                        uint32_t id = 0;
                        for (const Candidate &p : near) {
                            const float fx = p.x - float(x) - 0.5f, fy = p.y - float(y) - 0.5f;
                            const float d = fx * fx + fy * fy;
                            if (d < nearest) {
                                second = nearest;
                                nearest = d;
                                id = p.id;
                            } else if (d < second) {
                                second = d;
                            }
                        }
                        const size_t at = size_t(y) * size_t(width_) + size_t(x);
                        cell_[at] = id;
                        onLine_[at] = std::sqrt(second) - std::sqrt(nearest) < lines_;
                    }
            }
    }

    bool colourful_;
    int32_t size_, columns_, rows_, width_ = 0, height_ = 0;
    size_t points_ = 0;
    float low_, high_, lines_;
    double changing_;  // the share of cells whose colour changes in each frame
    std::mt19937 own_;
    int32_t scrollX_ = 0, scrollY_ = 0;
    std::vector<uint32_t> cell_, colours_;
    std::vector<uint8_t> onLine_;
};

}  // namespace

std::unique_ptr<PictureMaker> MakeFineTexture(const ClipRecipe &recipe, std::mt19937 &random,
                                              bool colourful) {
    return std::make_unique<FineTexture>(recipe, random, colourful);
}

}  // namespace clips
