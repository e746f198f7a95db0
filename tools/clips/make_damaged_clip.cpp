// Writes a generated damaged clip, to try the settings suggestion on:
//   make_damaged_clip [--size WxH] [--frames N] [--content KIND] [--damage LIST] [--seed N]
//                     [--still] [--png PREFIX]
// KIND: bars, animation, live, dark, letterboxed, edges, fine, colourful (fine texture). LIST:
// comma-separated head, columns, top (or none). Without --png the frames go to standard output as
// raw BGRA, top row first (ffmpeg's -f rawvideo -pix_fmt bgra); with it, each frame to
// PREFIX-0001.png and on. The damaged lines per edge are printed on standard error. --still repeats
// the first frame.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "damaged_clip.h"
#include "host_bitmap.h"
#include "png_files.h"

namespace {

using filterhost::HostBitmap;
using filterhost::RowOrder;
using kantora::Status;

// As the host writes pictures: RGB, the X bytes carry no colour.
Status WriteFrame(const std::string &path, const clips::Frame &frame) {
    HostBitmap picture(frame.width, frame.height, 0, RowOrder::TopDown);
    picture.LoadTopDown(frame.bgrx.data());
    return filterhost::WritePng(path, picture);
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
    // The pictures' folder is made if it is not there.
    const std::filesystem::path folder = std::filesystem::path(pngPrefix).parent_path();
    std::error_code ignored;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
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
        const Status written = WriteFrame(pngPrefix + name, frame);
        if (!written) {
            std::fprintf(stderr, "make_damaged_clip: %s\n", written.failure().message.c_str());
            return 1;
        }
    }
    if (std::fflush(stdout) != 0)
        return 1;
    std::fprintf(stderr, "damaged lines: top %d, bottom %d, left %d, right %d\n",
                 clip.DamagedLines(kantora::Top), clip.DamagedLines(kantora::Bottom),
                 clip.DamagedLines(kantora::Left), clip.DamagedLines(kantora::Right));
    return 0;
}
