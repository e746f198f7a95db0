// filterhost/plugin, the host library: loading a plug-in, its instances and their frames.
// FilterHost loads a filter module, hands it the host function table, keeps the filter
// definitions it registers, and unloads it again; FilterInstance (filter_instance.h) runs one
// filter; HostBitmap (host_bitmap.h) lays out its frames. Everything that runs a plug-in goes
// through them.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "host_results.h"
#include "vdfilter.h"
#include "plugin_module.h"

namespace filterhost {

// Highest definition version this host understands: the 18-word definition record.
constexpr int kHostFilterDefinitionVersion = 7;

class FilterHost {
public:
    FilterHost();
    FilterHost(const FilterHost &) = delete;
    FilterHost &operator=(const FilterHost &) = delete;
    ~FilterHost();  // Unload()

    // Loads the module file and calls its entry; fails unless it registers at least one filter.
    Status Load(const std::string &path);
    // The same for a plug-in linked into this program: its two module functions, and the
    // module handle its definition should carry.
    Status Attach(FilterModuleInitProc entry, FilterModuleDeinitProc exit, void *moduleHandle,
                  const std::string &name);
    // Calls the module exit, then unloads the file. Safe to call twice.
    void Unload();

    // The definitions registered so far, in registration order (the host's own copies).
    std::vector<const FilterDefinition *> Definitions() const;
    const FilterFunctions &Functions() const { return functions_; }

private:
    // What the host function table's callbacks reach through the module pointer they get.
    struct ModuleRecord {
        FilterModule module;  // first, so that a FilterModule * is also a ModuleRecord *
        FilterHost *host;
    };

    static FilterDefinition *VDX_CDECL AddFilter(FilterModule *module, FilterDefinition *definition,
                                                 int definitionSize);
    static void VDX_CDECL RemoveFilter(FilterDefinition *handle);
    Status Register(FilterModuleInitProc entry, FilterModuleDeinitProc exit, void *moduleHandle,
                    const std::string &name);

    FilterFunctions functions_{};
    ModuleRecord record_{};
    PluginModule module_;
    FilterModuleDeinitProc moduleExit_ = nullptr;
    std::list<FilterDefinition> registered_;  // stable addresses: they are the filter handles
};

}  // namespace filterhost
