#include "plugin_search.h"

#include <cstdio>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "printable_text.h"

namespace filterhost {

namespace {

#if defined(_WIN32)
constexpr const char *kPluginFile = "Kantora231.vdf";
#else
constexpr const char *kPluginFile = "Kantora231.so";
#endif

bool IsFile(const std::string &path) {
    if (std::FILE *file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

std::vector<std::string> PluginCandidates(const std::string &programFolder) {
    const std::string file = kPluginFile;
    return {programFolder + "/" + file, programFolder + "/../filter/" + file,
            programFolder + "/../lib/kantora/" + file};
}

}  // namespace

Expected<std::string> ProgramFolder() {
    std::string path;
#if defined(_WIN32)
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return Fail("cannot tell where filterhost's program file is");
    path.assign(buffer, length);
    const size_t slash = path.find_last_of("\\/");
#else
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer)
        return Fail("cannot tell where filterhost's program file is (/proc/self/exe)");
    path.assign(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
#endif
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

Expected<std::string> FindPlugin() {
    Expected<std::string> folder = ProgramFolder();
    if (!folder)
        return Fail(folder.failure().message + "; name the plug-in with --plugin FILE");
    const std::vector<std::string> candidates = PluginCandidates(*folder);
    std::string looked;
    for (const std::string &candidate : candidates) {
        if (IsFile(candidate))
            return candidate;
        looked += (looked.empty() ? "" : ", ") + kantora::PrintableWhole(candidate);
    }
    return Fail(std::string("no plug-in given and no ") + kPluginFile + " found (looked for " +
                looked + "): name it with --plugin FILE");
}

}  // namespace filterhost
