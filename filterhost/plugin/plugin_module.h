// A plug-in file loaded into the process: dlopen on Linux, LoadLibrary on Windows.
#pragma once

#include <string>

#include "host_results.h"

namespace filterhost {

class PluginModule {
public:
    PluginModule() = default;
    PluginModule(PluginModule &&other) noexcept;
    PluginModule &operator=(PluginModule &&other) noexcept;
    PluginModule(const PluginModule &) = delete;
    PluginModule &operator=(const PluginModule &) = delete;
    ~PluginModule();

    // Loads the file at `path` (never searched for on the library path).
    static Expected<PluginModule> Open(const std::string &path);

    // Address of an exported function, or null.
    void *Symbol(const char *name) const;
    // The module handle (HMODULE on Windows, the dlopen handle elsewhere).
    void *Handle() const { return handle_; }

    void Close();

private:
    void *handle_ = nullptr;
};

}  // namespace filterhost
