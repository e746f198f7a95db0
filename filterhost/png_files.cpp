#include "png_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "raw_frames.h"

#include <stb_image.h>
#include <stb_image_write.h>

namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct WriteTarget {
    std::FILE *file;
    bool failed;
};

void WriteToFile(void *context, void *data, int size) {
    auto *target = static_cast<WriteTarget *>(context);
    if (!target->failed && std::fwrite(data, 1, static_cast<size_t>(size), target->file) !=
                               static_cast<size_t>(size))
        target->failed = true;
}

}  // namespace

Expected<Picture> ReadPng(const std::string &path) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return Fail("cannot open image " + path + ": " + std::strerror(errno));
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_file(file.get(), &width, &height, &channels))
        return Fail("cannot read image " + path + ": " + stbi_failure_reason());
    if (width > kMaxFrameSide || height > kMaxFrameSide)
        return Fail("image " + path + " is " + std::to_string(width) + "x" +
                    std::to_string(height) + ", larger than " + std::to_string(kMaxFrameSide) +
                    " on a side");
    std::unique_ptr<stbi_uc, void (*)(void *)> rgba(
        stbi_load_from_file(file.get(), &width, &height, &channels, 4), stbi_image_free);
    if (!rgba)
        return Fail("cannot read image " + path + ": " + stbi_failure_reason());
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.bgrx.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    const stbi_uc *in = rgba.get();
    for (size_t k = 0; k < picture.bgrx.size(); k += 4) {
        picture.bgrx[k + 0] = in[k + 2];
        picture.bgrx[k + 1] = in[k + 1];
        picture.bgrx[k + 2] = in[k + 0];
        picture.bgrx[k + 3] = 0;
    }
    return picture;
}

Status WritePng(const std::string &path, const Picture &picture) {
    std::vector<uint8_t> rgb(static_cast<size_t>(picture.width) *
                             static_cast<size_t>(picture.height) * 3);
    for (size_t in = 0, out = 0; out < rgb.size(); in += 4, out += 3) {
        rgb[out + 0] = picture.bgrx[in + 2];
        rgb[out + 1] = picture.bgrx[in + 1];
        rgb[out + 2] = picture.bgrx[in + 0];
    }
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return Fail("cannot write image " + path + ": " + std::strerror(errno));
    WriteTarget target{file.get(), false};
    if (!stbi_write_png_to_func(WriteToFile, &target, picture.width, picture.height, 3, rgb.data(),
                                picture.width * 3))
        return Fail("cannot encode image " + path);
    const int error = target.failed ? errno : 0;
    if (target.failed || std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0)
        return Fail("cannot write image " + path + ": " + std::strerror(error ? error : errno));
    return Ok();
}
