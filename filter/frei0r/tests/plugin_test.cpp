// kantora.so loaded and called as a frei0r host calls it: frames from 1x1 up, bands wider than
// the frame, every kind of bad parameter. The picture must be the plain repair's, each pixel
// with the alpha it came with.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <frei0r.h>
}

#include "border_reference.h"
#include "config_layout.h"

namespace {

using namespace kantora;

constexpr uint32_t kAlpha = 0xFF000000u;

// The plug-in's entry points.
class Plugin {
    void *handle_ = dlopen(KANTORA_FREI0R_PATH, RTLD_NOW | RTLD_LOCAL);

public:
    ~Plugin() {
        if (handle_ != nullptr)
            dlclose(handle_);
    }
    bool Loaded() const { return handle_ != nullptr; }

    template <class F>
    F *Get(const char *name) const {
        return reinterpret_cast<F *>(dlsym(handle_, name));
    }

    decltype(&f0r_construct) construct = Get<decltype(f0r_construct)>("f0r_construct");
    decltype(&f0r_destruct) destruct = Get<decltype(f0r_destruct)>("f0r_destruct");
    decltype(&f0r_set_param_value) set = Get<decltype(f0r_set_param_value)>("f0r_set_param_value");
    decltype(&f0r_get_param_value) get = Get<decltype(f0r_get_param_value)>("f0r_get_param_value");
    decltype(&f0r_update) update = Get<decltype(f0r_update)>("f0r_update");
};

struct Picture {
    int32_t width, height;
    std::vector<uint32_t> pixels;  // top-down, as frei0r hands them over
};

Picture RandomPicture(int32_t width, int32_t height, std::mt19937 &rng) {
    Picture p{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    for (uint32_t &pixel : p.pixels)
        pixel = rng();
    return p;
}

// The plain repair with every pixel's alpha put back.
std::vector<uint32_t> Repaired(const Picture &in, const BorderSettings &s) {
    std::vector<uint32_t> out(in.pixels.size());
    const ptrdiff_t pitch = -ptrdiff_t{in.width} * 4;
    const size_t bottom = size_t(in.height - 1) * size_t(in.width);
    border_reference::ProcessFrame(&in.pixels[bottom], pitch, &out[bottom], pitch, in.width,
                                   in.height, s);
    for (size_t k = 0; k < out.size(); ++k)
        out[k] = (out[k] & ~kAlpha) | (in.pixels[k] & kAlpha);
    return out;
}

BorderSettings SettingsOf(const ConfigValues &lines) {
    BorderSettings s{};
    ResetBorderSettings(s);
    SetConfigValues(s, lines);
    return s;
}

class Frei0rPlugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin_.Loaded()) << dlerror(); }

    void SetLines(f0r_instance_t instance, const ConfigValues &lines) {
        for (int k = 0; k < kConfigValueCount; ++k) {
            double value = lines[size_t(k)] / 255.0;
            plugin_.set(instance, &value, k + 1);
        }
    }
    void SetConfig(f0r_instance_t instance, const char *text) {
        char *param = const_cast<char *>(text);
        plugin_.set(instance, &param, 0);
    }
    // One frame, into an output frame that holds what a host's buffer may hold, or in place.
    std::vector<uint32_t> Run(f0r_instance_t instance, const Picture &in, bool inPlace) {
        std::vector<uint32_t> out =
            inPlace ? in.pixels : std::vector<uint32_t>(in.pixels.size(), 0xDEADBEEF);
        plugin_.update(instance, 0.0, inPlace ? out.data() : in.pixels.data(), out.data());
        return out;
    }

    Plugin plugin_;
};

TEST_F(Frei0rPlugin, RepairsAsTheEngineKeepingAlpha) {
    struct Case {
        int32_t width, height;
        int32_t lineLimit;  // values drawn from 0..lineLimit
    };
    // From one pixel up; bands up to twice the frame and far beyond it.
    const Case cases[] = {{1, 1, 3}, {2, 1, 4}, {1, 3, 6}, {8, 8, 16}, {24, 16, 12}, {16, 8, 255}};
    std::mt19937 rng(2310);
    for (const Case &c : cases) {
        for (int round = 0; round < 20; ++round) {
            ConfigValues lines{};
            for (int32_t &v : lines)
                v = int32_t(rng() % uint32_t(c.lineLimit + 1));
            const Picture in = RandomPicture(c.width, c.height, rng);
            const std::vector<uint32_t> expected = Repaired(in, SettingsOf(lines));
            for (bool inPlace : {false, true}) {
                f0r_instance_t instance = plugin_.construct(c.width, c.height);
                ASSERT_NE(instance, nullptr);
                SetLines(instance, lines);
                EXPECT_EQ(Run(instance, in, inPlace), expected)
                    << c.width << "x" << c.height << " round " << round << " in place " << inPlace;
                plugin_.destruct(instance);
            }
        }
    }
}

TEST_F(Frei0rPlugin, TakesAnyDoubleAndAnyParameterCall) {
    // value -> lines: value x 255, rounded; NaN nothing; the rest held within 32 bits.
    struct Case {
        double value;
        int32_t lines;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {{3 / 255.0, 3},   {0.5, 128},        {1.0, 255},
                          {-2 / 255.0, -2}, {1e12, INT32_MAX}, {-1e12, INT32_MIN},
                          {inf, INT32_MAX}, {-inf, INT32_MIN}, {std::nan(""), 0},
                          {2.4 / 255.0, 2}, {100.0, 25500}};
    std::mt19937 rng(9);
    const Picture in = RandomPicture(8, 8, rng);
    for (const Case &c : cases) {
        for (int k = 0; k < kConfigValueCount; ++k) {
            f0r_instance_t instance = plugin_.construct(8, 8);
            double value = c.value;
            plugin_.set(instance, &value, k + 1);
            double back = 0;
            plugin_.get(instance, &back, k + 1);
            EXPECT_TRUE(std::isnan(c.value) ? std::isnan(back) : back == c.value);
            ConfigValues lines{};
            lines[size_t(k)] = c.lines;
            EXPECT_EQ(Run(instance, in, false), Repaired(in, SettingsOf(lines)))
                << "value " << c.value << " as parameter " << k + 1;
            plugin_.destruct(instance);
        }
    }

    // Calls a host should not make change nothing and crash nothing.
    f0r_instance_t instance = plugin_.construct(8, 8);
    double value = 0.5;
    for (int index : {-1, kConfigValueCount + 1, 1000})
        plugin_.set(instance, &value, index);
    plugin_.set(instance, nullptr, 1);
    SetConfig(instance, nullptr);
    plugin_.update(instance, 0.0, nullptr, nullptr);
    plugin_.update(nullptr, 0.0, in.pixels.data(), nullptr);
    EXPECT_EQ(Run(instance, in, false), in.pixels);
    plugin_.destruct(instance);
    plugin_.destruct(nullptr);
    f0r_instance_t empty = plugin_.construct(0, 0);
    plugin_.update(empty, 0.0, in.pixels.data(), nullptr);
    plugin_.destruct(empty);
}

TEST_F(Frei0rPlugin, ConfigWinsAndABadOneLeavesThePictureSayingSoOnce) {
    std::mt19937 rng(31);
    const Picture in = RandomPicture(24, 16, rng);
    const ConfigValues fromLine = {3, 0, 0, 0, 0, 2, 5, 0, 4, 1, 0, 2, 0, 3, 0, 0};
    const ConfigValues fromValues = {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char *config;
        bool good;
    };
    const Case cases[] = {
        {"Config(3 0 0 0 0 2 5 0 4 1 0 2 0 3 0 0)", true},
        {"Config(3, 0, 0, 0, 0, 2, 5, 0, 4, 1, 0, 2, 0, 3, 0, 0)", true},
        {"Config(3 0 0 0 0 2 5 0 4 1 0 2 0 3 0)", false},  // fifteen values
        {"Config(3 0 0 0 0 2 5 0 4 1 0 2 0 3 0 x)", false},
        {"Config(3 0 0 0 0 2 5 0 4 1 0 2 0 3 0 0", false},
        {"Kantora", false},
        {"\x1b[2J\xff", false},
    };
    for (const Case &c : cases) {
        f0r_instance_t instance = plugin_.construct(24, 16);
        SetLines(instance, fromValues);
        testing::internal::CaptureStderr();
        // MLT sets every parameter again before each frame.
        for (int frame = 0; frame < 3; ++frame) {
            SetConfig(instance, c.config);
            EXPECT_EQ(Run(instance, in, false),
                      c.good ? Repaired(in, SettingsOf(fromLine)) : in.pixels)
                << c.config;
        }
        const std::string said = testing::internal::GetCapturedStderr();
        if (c.good) {
            EXPECT_EQ(said, "") << c.config;
        } else {
            EXPECT_EQ(said.find("kantora: config "), 0u) << said;
            EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line only: " << said;
            EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
        }
        char *back = nullptr;
        plugin_.get(instance, &back, 0);
        EXPECT_STREQ(back, c.config);
        // An empty line gives the values back their say.
        SetConfig(instance, " ");
        EXPECT_EQ(Run(instance, in, false), Repaired(in, SettingsOf(fromValues))) << c.config;
        plugin_.destruct(instance);
    }
}

}  // namespace
