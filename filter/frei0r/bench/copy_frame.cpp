// A frei0r filter that only copies each frame: the floor of every frei0r filter, whose host
// converts each picture to BGRA and hands over a separate output frame. The benchmark
// (scripts/frei0r-bench.sh) runs the border filter against it. A test tool, not a product.
#include <cstdint>
#include <cstring>
#include <new>

extern "C" {
#include <frei0r.h>
}

namespace {

struct Frame {
    size_t bytes;
};

}  // namespace

#define COPY_EXPORT extern "C" __attribute__((visibility("default")))

COPY_EXPORT int f0r_init() { return 1; }

COPY_EXPORT void f0r_deinit() {}

COPY_EXPORT void f0r_get_plugin_info(f0r_plugin_info_t *info) {
    info->name = "Frame copy";
    info->author = "Tessaly";
    info->plugin_type = F0R_PLUGIN_TYPE_FILTER;
    info->color_model = F0R_COLOR_MODEL_BGRA8888;
    info->frei0r_version = FREI0R_MAJOR_VERSION;
    info->major_version = 1;
    info->minor_version = 0;
    info->num_params = 0;
    info->explanation = "Copies each frame: the benchmark's floor";
}

COPY_EXPORT void f0r_get_param_info(f0r_param_info_t *, int) {}

COPY_EXPORT f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
    return new (std::nothrow) Frame{size_t(width) * height * sizeof(uint32_t)};
}

COPY_EXPORT void f0r_destruct(f0r_instance_t instance) { delete static_cast<Frame *>(instance); }

COPY_EXPORT void f0r_set_param_value(f0r_instance_t, f0r_param_t, int) {}

COPY_EXPORT void f0r_get_param_value(f0r_instance_t, f0r_param_t, int) {}

COPY_EXPORT void f0r_update(f0r_instance_t instance, double, const uint32_t *in, uint32_t *out) {
    std::memcpy(out, in, static_cast<Frame *>(instance)->bytes);
}
