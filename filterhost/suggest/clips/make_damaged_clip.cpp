// Writes a generated damaged clip, to try the settings suggestion on:
//   make_damaged_clip [--size WxH] [--frames N] [--content KIND] [--damage LIST] [--seed N]
//                     [--still] [--png PREFIX]
// KIND: bars, animation, live, dark, letterboxed, edges, fine, colourful (fine texture). LIST:
// comma-separated head, columns, top (or none). Without --png the frames go to standard output as
// raw BGRA, top row first (ffmpeg's -f rawvideo -pix_fmt bgra); with it, each frame to
// PREFIX-0001.png and on. The damaged lines per edge are printed on standard error. --still repeats
// the first frame.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "damaged_clip.h"

namespace {

bool WritePng(const std::string &path, const clips::Frame &frame) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(frame.width);
    image.height = png_uint_32(frame.height);
    // X carries no colour: the picture is written as RGB.
    std::vector<uint8_t> rgb(size_t(frame.width) * size_t(frame.height) * 3);
    for (size_t i = 0, n = size_t(frame.width) * size_t(frame.height); i < n; ++i) {
        rgb[3 * i] = frame.bgrx[4 * i + 2];
        rgb[3 * i + 1] = frame.bgrx[4 * i + 1];
        rgb[3 * i + 2] = frame.bgrx[4 * i];
    }
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    return std::fclose(file) == 0 && ok;
}

int Usage() {
    std::fputs("usage: make_damaged_clip [--size WxH] [--frames N] [--content "
               "bars|animation|live|dark|letterboxed|edges|fine|colourful] [--damage "
               "head,columns,top|none] [--seed N] [--still] [--png PREFIX]\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    clips::ClipRecipe recipe;
    recipe.damage = clips::kHeadSwitching | clips::kDarkColumns | clips::kBrightTopLine;
    std::string pngPrefix;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--still") {
            recipe.still = true;
            continue;
        }
        if (i + 1 >= argc)
            return Usage();
        const std::string value = argv[++i];
        if (option == "--size") {
            if (std::sscanf(value.c_str(), "%dx%d", &recipe.width, &recipe.height) != 2 ||
                recipe.width < 16 || recipe.height < 16 || recipe.width > 8192 ||
                recipe.height > 8192)
                return Usage();
        } else if (option == "--frames") {
            recipe.frames = std::atoi(value.c_str());
            if (recipe.frames < 1)
                return Usage();
        } else if (option == "--seed") {
            recipe.seed = uint32_t(std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--content") {
            static const char *const kNames[] = {"bars",        "animation", "live", "dark",
                                                 "letterboxed", "edges",     "fine", "colourful"};
            int found = -1;
            for (int k = 0; k < clips::kContentCount; ++k)
                if (value == kNames[k])
                    found = k;
            if (found < 0)
                return Usage();
            recipe.content = clips::Content(found);
        } else if (option == "--damage") {
            recipe.damage = 0;
            if (value != "none") {
                std::string rest = value + ",";
                for (size_t at; (at = rest.find(',')) != std::string::npos; rest.erase(0, at + 1)) {
                    const std::string kind = rest.substr(0, at);
                    if (kind == "head")
                        recipe.damage |= clips::kHeadSwitching;
                    else if (kind == "columns")
                        recipe.damage |= clips::kDarkColumns;
                    else if (kind == "top")
                        recipe.damage |= clips::kBrightTopLine;
                    else
                        return Usage();
                }
            }
        } else if (option == "--png") {
            pngPrefix = value;
        } else {
            return Usage();
        }
    }
    clips::DamagedClip clip(recipe);
    clips::Frame frame;
    for (int32_t index = 1; clip.Next(frame); ++index) {
        if (pngPrefix.empty()) {
            if (std::fwrite(frame.bgrx.data(), 1, frame.bgrx.size(), stdout) != frame.bgrx.size()) {
                std::perror("make_damaged_clip: standard output");
                return 1;
            }
            continue;
        }
        char name[32];
        std::snprintf(name, sizeof name, "-%04d.png", index);
        if (!WritePng(pngPrefix + name, frame)) {
            std::fprintf(stderr, "make_damaged_clip: cannot write %s%s\n", pngPrefix.c_str(), name);
            return 1;
        }
    }
    if (std::fflush(stdout) != 0)
        return 1;
    std::fprintf(stderr, "damaged lines: top %d, bottom %d, left %d, right %d\n",
                 clip.DamagedLines(Top), clip.DamagedLines(Bottom), clip.DamagedLines(Left),
                 clip.DamagedLines(Right));
    return 0;
}
