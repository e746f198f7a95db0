// The Windows build has no libpng: it runs raw frames only, and says so when asked for a picture.
#include "png_files.h"

#include "printable_text.h"

namespace filterhost {

namespace {

const char *const kWhy = "this Windows build of filterhost reads and writes no PNG files; "
                         "use raw frames (--size), or the Linux build for pictures";

}  // namespace

Expected<HostBitmap> ReadPng(std::FILE *, const std::string &name, BitmapLayout,
                             const PictureLimits &) {
    return Fail("cannot read image " + name + ": " + kWhy);
}

Expected<HostBitmap> ReadPng(const std::string &path, BitmapLayout layout,
                             const PictureLimits &limits) {
    return ReadPng(nullptr, kantora::PrintableWhole(path), layout, limits);
}

Status WritePng(std::FILE *, const std::string &name, const HostBitmap &) {
    return Fail("cannot write image " + name + ": " + kWhy);
}

Status WritePng(const std::string &path, const HostBitmap &picture) {
    return WritePng(nullptr, kantora::PrintableWhole(path), picture);
}

}  // namespace filterhost
