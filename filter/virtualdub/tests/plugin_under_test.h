// The border filter as its own tests, the probe, the benchmark and the fuzz targets run it:
// through the host library, linked into the program or loaded from its file as a host loads
// it, with one instance fresh from init. They may read the instance's settings record, and
// write the one field no script reaches (the pass order).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "border_settings.h"
#include "config_layout.h"
#include "filter_host.h"
#include "filter_instance.h"
#include "vdfilter.h"

extern "C" int VDX_CDECL VirtualdubFilterModuleInit2(FilterModule *, const FilterFunctions *, int &,
                                                     int &);
extern "C" void VDX_CDECL VirtualdubFilterModuleDeinit(FilterModule *, const FilterFunctions *);

namespace kantora {

class PluginUnderTest {
public:
    // The plug-in whose object files are linked into this program.
    static Expected<std::unique_ptr<PluginUnderTest>> Linked() {
        std::unique_ptr<PluginUnderTest> plugin(new PluginUnderTest);
        Status attached = plugin->host_.Attach(&VirtualdubFilterModuleInit2,
                                               &VirtualdubFilterModuleDeinit, nullptr, "plug-in");
        return attached ? WithInstance(std::move(plugin)) : attached.failure();
    }

    // The plug-in file, loaded as a host loads it.
    static Expected<std::unique_ptr<PluginUnderTest>> Load(const std::string &path) {
        std::unique_ptr<PluginUnderTest> plugin(new PluginUnderTest);
        Status loaded = plugin->host_.Load(path);
        return loaded ? WithInstance(std::move(plugin)) : loaded.failure();
    }

    const FilterDefinition &Definition() const { return *definition_; }
    const FilterFunctions &Functions() const { return host_.Functions(); }
    filterhost::FilterInstance &Instance() { return *instance_; }
    FilterActivation &Activation() { return instance_->Activation(); }
    BorderSettings &Settings() { return *static_cast<BorderSettings *>(instance_->Data()); }

    // Another instance of the filter, fresh from init.
    std::unique_ptr<filterhost::FilterInstance> NewInstance() {
        return std::move(*filterhost::FilterInstance::Create(*definition_, host_.Functions()));
    }
    // Instance() becomes a fresh one.
    void ResetInstance() {
        instance_.reset();
        instance_ = NewInstance();
    }

    // The sixteen values in script order, through the filter's Config function.
    void SetValues(const int32_t (&values)[kConfigValueCount]) {
        ScriptValue arguments[kConfigValueCount] = {};
        for (int k = 0; k < kConfigValueCount; ++k) {
            arguments[k].type = kScriptInt;
            arguments[k].u.i = values[k];
        }
        definition_->script_obj->func_list[0].func(nullptr, &Activation(), arguments,
                                                   kConfigValueCount);
    }

private:
    PluginUnderTest() = default;

    static Expected<std::unique_ptr<PluginUnderTest>> WithInstance(
        std::unique_ptr<PluginUnderTest> plugin) {
        plugin->definition_ = plugin->host_.Definitions().front();
        Expected<std::unique_ptr<filterhost::FilterInstance>> instance =
            filterhost::FilterInstance::Create(*plugin->definition_, plugin->host_.Functions());
        if (!instance)
            return instance.failure();
        plugin->instance_ = std::move(*instance);
        return plugin;
    }

    filterhost::FilterHost host_;
    const FilterDefinition *definition_ = nullptr;
    std::unique_ptr<filterhost::FilterInstance>
        instance_;  // last: released before the host unloads
};

}  // namespace kantora
