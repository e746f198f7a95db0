// Opens the video module on demand, where the program's folder says it is installed.
#include <dlfcn.h>

#include <cstdio>
#include <vector>

#include "plugin_search.h"
#include "printable_text.h"
#include "video_module.h"

namespace filterhost {

namespace {

bool IsFile(const std::string &path) {
    if (std::FILE *file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

Expected<const VideoModule *> OpenVideoModule() {
    Expected<std::string> folder = ProgramFolder();
    if (!folder)
        return folder.failure();
    const std::vector<std::string> candidates = {*folder + "/" + kVideoModuleFile,
                                                 *folder + "/../lib/kantora/" + kVideoModuleFile};
    std::string looked;
    for (const std::string &path : candidates) {
        if (!IsFile(path)) {
            looked += (looked.empty() ? "" : ", ") + kantora::PrintableWhole(path);
            continue;
        }
        // Never closed: FFmpeg's libraries keep state until the process ends.
        void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char *why = dlerror();
            const std::string error = why != nullptr ? why : "unknown error";
            return Fail("--video cannot load its module " + kantora::PrintableWhole(path) + ": " +
                        kantora::PrintableWhole(error));
        }
        const auto *module =
            static_cast<const VideoModule *>(dlsym(handle, FILTERHOST_VIDEO_MODULE_SYMBOL));
        if (module == nullptr || module->interface != kVideoModuleInterface)
            return Fail("--video cannot use " + kantora::PrintableWhole(path) +
                        ": it belongs to another build of filterhost");
        return module;
    }
    return Fail(std::string("--video needs filterhost's video module ") + kVideoModuleFile +
                ", which is missing (looked for " + looked + ")");
}

}  // namespace

Expected<const VideoModule *> LoadVideoModule() {
    static const Expected<const VideoModule *> kModule = OpenVideoModule();
    return kModule;
}

}  // namespace filterhost
