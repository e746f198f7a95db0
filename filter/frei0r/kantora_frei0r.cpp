// Kantora as a frei0r filter, for ffmpeg's frei0r filter and for MLT (melt, Kdenlive, Shotcut).
//
// The host converts each picture to BGRA8888 and hands it over with a separate output frame;
// the filter copies it once and repairs the four edges in the output as the VirtualDub filter
// does, each pixel keeping the alpha it came with, so that a band is as opaque as the picture it
// replaced. The settings are the VirtualDub filter's: a Config(...) line (`config`), or the
// sixteen region values one by one (description.h).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

extern "C" {
#include <frei0r.h>
}

#include "alpha_repair.h"
#include "border_settings.h"
#include "config_layout.h"
#include "config_line.h"
#include "filter_name.h"
#include "description.h"

namespace kantora::frei0r {

namespace {

// ---------------------------------------------------------------------------------------------
// What it is (its name and parameters: description.h).

// The filter's version "2.31" as frei0r's two numbers.
constexpr int VersionPart(const char *text, int part) {
    int number = 0;
    for (; *text != '\0'; ++text) {
        if (*text == '.') {
            if (part-- == 0)
                return number;
            number = 0;
        } else {
            number = number * 10 + (*text - '0');
        }
    }
    return part == 0 ? number : 0;
}
static_assert(VersionPart("2.31", 0) == 2 && VersionPart("2.31", 1) == 31, "version parts");

// BGRA8888 bytes B, G, R, A are the engine's 0xXXRRGGBB words with alpha on top, on the
// little-endian machines these hosts run on.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "BGRA8888 read as 32-bit words");

// ---------------------------------------------------------------------------------------------
// One instance: the parameters as the host set them, and the settings they give.

class Instance {
public:
    Instance(int32_t width, int32_t height) : width_(width), height_(height) {}

    void SetLines(int valueIndex, double value) { values_[size_t(valueIndex)] = value; }
    double Lines(int valueIndex) const { return values_[size_t(valueIndex)]; }

    // MLT sets every parameter again before each frame: only a changed line is read, and a bad
    // one is reported once. Until a line is read whole the picture is left as it is.
    void SetConfig(const char *text) {
        const std::string_view next = text != nullptr ? text : "";
        if (next == config_)
            return;
        configSet_ = next.find_first_not_of(" \t\r\n") != std::string_view::npos;
        configGood_ = false;
        config_ = next;
        if (!configSet_)
            return;
        Expected<BorderSettings> read = SettingsFromConfigLine(config_);
        if (!read) {
            std::fprintf(stderr, "kantora: config %s; the picture is left as it is\n",
                         read.failure().message.c_str());
            return;
        }
        configSettings_ = *read;
        configGood_ = true;
    }
    const std::string &Config() const { return config_; }

    void Update(const uint32_t *in, uint32_t *out) {
        if (width_ == 0 || height_ == 0)
            return;
        if (configSet_ && !configGood_) {
            if (out != in)
                std::memcpy(out, in, size_t(width_) * size_t(height_) * sizeof(uint32_t));
            return;
        }
        // The engine takes rows bottom-up: a top-down frame is its last row, a negative pitch.
        const ptrdiff_t pitch = -ptrdiff_t{width_} * ptrdiff_t{sizeof(uint32_t)};
        const size_t bottom = size_t(height_ - 1) * size_t(width_);
        const BorderSettings settings = Settings();
        if (in != out) {
            RepairKeepingAlpha(in + bottom, pitch, out + bottom, pitch, width_, height_, settings);
            return;
        }
        RepairInPlaceKeepingAlpha(out + bottom, pitch, width_, height_, settings, savedAlpha_);
    }

private:
    BorderSettings Settings() const {
        if (configSet_)
            return configSettings_;
        BorderSettings s{};
        ResetBorderSettings(s);
        ConfigValues lines{};
        for (int k = 0; k < kConfigValueCount; ++k)
            lines[size_t(k)] = LinesFromValue(values_[size_t(k)]);
        SetConfigValues(s, lines);
        return s;
    }

    int32_t width_, height_;
    double values_[kConfigValueCount] = {};
    std::string config_;
    bool configSet_ = false;   // config_ holds more than blanks
    bool configGood_ = false;  // ... and configSettings_ were read from it
    BorderSettings configSettings_{};
    std::vector<uint8_t> savedAlpha_;  // for a host that hands over one frame for both
};

Instance *InstanceOf(f0r_instance_t instance) { return static_cast<Instance *>(instance); }

bool IsLinesParam(int index) { return index > kConfigParam && index < kParamCount; }

}  // namespace

}  // namespace kantora::frei0r

// ---------------------------------------------------------------------------------------------
// The frei0r entry points. Hosts call them through C; no exception leaves them.

using kantora::frei0r::InstanceOf;
using kantora::frei0r::IsLinesParam;
using kantora::frei0r::kConfigParam;
using kantora::frei0r::kParamCount;

#define KANTORA_EXPORT extern "C" __attribute__((visibility("default")))

KANTORA_EXPORT int f0r_init() { return 1; }

KANTORA_EXPORT void f0r_deinit() {}

KANTORA_EXPORT void f0r_get_plugin_info(f0r_plugin_info_t *info) {
    if (info == nullptr)
        return;
    info->name = kantora::frei0r::kPluginName;
    info->author = kantora::frei0r::kAuthor;
    info->plugin_type = F0R_PLUGIN_TYPE_FILTER;
    info->color_model = F0R_COLOR_MODEL_BGRA8888;
    info->frei0r_version = FREI0R_MAJOR_VERSION;
    info->major_version = kantora::frei0r::VersionPart(kantora::kFilterVersion, 0);
    info->minor_version = kantora::frei0r::VersionPart(kantora::kFilterVersion, 1);
    info->num_params = kParamCount;
    info->explanation = kantora::frei0r::kExplanation;
}

KANTORA_EXPORT void f0r_get_param_info(f0r_param_info_t *info, int index) {
    if (info == nullptr || index < 0 || index >= kParamCount)
        return;
    const kantora::frei0r::ParamDescription &p = kantora::frei0r::ParamAt(index);
    info->name = p.name;
    info->type = p.kind == kantora::frei0r::ParamKind::Text ? F0R_PARAM_STRING : F0R_PARAM_DOUBLE;
    info->explanation = p.explanation;
}

KANTORA_EXPORT f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
    // Every pixel must be addressable in bytes.
    if (width > uint32_t(INT32_MAX) || height > uint32_t(INT32_MAX) ||
        (height != 0 && width > SIZE_MAX / sizeof(uint32_t) / height))
        return nullptr;
    return new (std::nothrow) kantora::frei0r::Instance(int32_t(width), int32_t(height));
}

KANTORA_EXPORT void f0r_destruct(f0r_instance_t instance) { delete InstanceOf(instance); }

KANTORA_EXPORT void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int index) {
    if (instance == nullptr || param == nullptr)
        return;
    if (IsLinesParam(index)) {
        InstanceOf(instance)->SetLines(index - 1, *static_cast<const f0r_param_double *>(param));
        return;
    }
    if (index != kConfigParam)
        return;
    try {
        InstanceOf(instance)->SetConfig(*static_cast<const f0r_param_string *>(param));
    } catch (...) {
        std::fputs("kantora: config could not be read (out of memory)\n", stderr);
    }
}

KANTORA_EXPORT void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int index) {
    if (instance == nullptr || param == nullptr)
        return;
    if (IsLinesParam(index))
        *static_cast<f0r_param_double *>(param) = InstanceOf(instance)->Lines(index - 1);
    else if (index == kConfigParam)
        *static_cast<f0r_param_string *>(param) =
            const_cast<char *>(InstanceOf(instance)->Config().c_str());
}

KANTORA_EXPORT void f0r_update(f0r_instance_t instance, double, const uint32_t *inframe,
                               uint32_t *outframe) {
    if (instance == nullptr || inframe == nullptr || outframe == nullptr)
        return;
    try {
        InstanceOf(instance)->Update(inframe, outframe);
    } catch (...) {
        // Only the in-place repair takes memory; the frame stays as the host handed it over.
    }
}
