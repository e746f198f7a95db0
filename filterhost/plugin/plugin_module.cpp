#include "plugin_module.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "printable_text.h"

namespace filterhost {

namespace {

#if defined(_WIN32)
std::string SystemMessage(DWORD code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = '\0';
    return length > 0 ? std::string(text) : "error " + std::to_string(code);
}

void *LoadModule(const std::string &path, std::string &error) {
    // A full path keeps LoadLibrary from searching, and lets the module's own folder supply
    // its dependencies as the host's plug-in folder would.
    char full[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    const char *name = (length > 0 && length < sizeof full) ? full : path.c_str();
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = GetLastError();
    SetErrorMode(previousMode);
    if (module == nullptr) {
        error = SystemMessage(code);
        const size_t insert = error.find("%1");
        if (insert != std::string::npos)
            error.replace(insert, 2, path);
    }
    return reinterpret_cast<void *>(module);
}

void *FindSymbol(void *handle, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void UnloadModule(void *handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void *LoadModule(const std::string &path, std::string &error) {
    // dlopen searches the library path for a bare name; "./" makes it the file named.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void *handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char *message = dlerror();
        error = message != nullptr ? message : "unknown error";
    }
    return handle;
}

void *FindSymbol(void *handle, const char *name) { return dlsym(handle, name); }

void UnloadModule(void *handle) { dlclose(handle); }
#endif

}  // namespace

PluginModule::PluginModule(PluginModule &&other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

PluginModule &PluginModule::operator=(PluginModule &&other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

PluginModule::~PluginModule() { Close(); }

Expected<PluginModule> PluginModule::Open(const std::string &path) {
    // The loader's own messages for a missing file differ per system; say it plainly first.
    if (FILE *probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else
        return Fail("cannot open plug-in " + kantora::PrintableWhole(path) + ": " +
                    std::strerror(errno));
    std::string error;
    void *handle = LoadModule(path, error);
    if (handle == nullptr)
        return Fail(kantora::PrintableWhole(path) + " is not a loadable plug-in module: " +
                    kantora::PrintableWhole(error));  // the loader's, with the name in it
    PluginModule module;
    module.handle_ = handle;
    return module;
}

void *PluginModule::Symbol(const char *name) const {
    return handle_ != nullptr ? FindSymbol(handle_, name) : nullptr;
}

void PluginModule::Close() {
    if (handle_ != nullptr)
        UnloadModule(std::exchange(handle_, nullptr));
}

}  // namespace filterhost
