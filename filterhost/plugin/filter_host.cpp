#include "filter_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "printable_text.h"

namespace filterhost {

namespace {

// The host whose module entry or exit is running. The plug-in may add and remove filters only
// from inside those two calls, and the callbacks carry no host pointer of their own for removal.
FilterHost *hostInModuleCall = nullptr;

class ModuleCallScope {
public:
    explicit ModuleCallScope(FilterHost *host) { hostInModuleCall = host; }
    ~ModuleCallScope() { hostInModuleCall = nullptr; }
};

// Services this host does not offer; a plug-in that calls one gets a clear stop, not a jump
// through a null pointer.
[[noreturn]] void VDX_CDECL UnsupportedService() {
    std::fputs("filterhost: the plug-in called a host service that this host does not offer\n",
               stderr);
    std::fflush(stderr);
    std::abort();
}

template <typename Function>
Function FunctionAt(const PluginModule &module, const char *name) {
    return reinterpret_cast<Function>(module.Symbol(name));
}

}  // namespace

FilterHost::FilterHost() {
    functions_.addFilter = &FilterHost::AddFilter;
    functions_.removeFilter = &FilterHost::RemoveFilter;
    for (void *&service : functions_.unused)
        service = reinterpret_cast<void *>(&UnsupportedService);
    record_.host = this;
}

FilterHost::~FilterHost() { Unload(); }

FilterDefinition *VDX_CDECL FilterHost::AddFilter(FilterModule *module,
                                                  FilterDefinition *definition,
                                                  int definitionSize) {
    FilterHost *host = hostInModuleCall;
    if (host == nullptr || module != &host->record_.module || definition == nullptr ||
        definitionSize <= 0)
        return nullptr;
    // Older plug-ins pass shorter records: fields they do not cover stay null.
    FilterDefinition copy;
    std::memset(&copy, 0, sizeof copy);
    std::memcpy(&copy, definition, std::min(sizeof copy, static_cast<size_t>(definitionSize)));
    copy.module = module;
    copy.next = copy.prev = nullptr;
    host->registered_.push_back(copy);
    return &host->registered_.back();
}

void VDX_CDECL FilterHost::RemoveFilter(FilterDefinition *handle) {
    FilterHost *host = hostInModuleCall;
    if (host == nullptr)
        return;
    host->registered_.remove_if([handle](const FilterDefinition &d) { return &d == handle; });
}

Status FilterHost::Load(const std::string &path) {
    Unload();
    Expected<PluginModule> opened = PluginModule::Open(path);
    if (!opened)
        return opened.failure();
    module_ = std::move(*opened);
    auto entry = FunctionAt<FilterModuleInitProc>(module_, VDX_MODULE_INIT_NAME);
    auto exit = FunctionAt<FilterModuleDeinitProc>(module_, VDX_MODULE_DEINIT_NAME);
    if (entry == nullptr || exit == nullptr) {
        module_.Close();
        return Fail(kantora::PrintableWhole(path) +
                    " is not a filter plug-in: it does not export " +
                    (entry == nullptr ? VDX_MODULE_INIT_NAME : VDX_MODULE_DEINIT_NAME));
    }
    return Register(entry, exit, module_.Handle(), path);
}

Status FilterHost::Attach(FilterModuleInitProc entry, FilterModuleDeinitProc exit,
                          void *moduleHandle, const std::string &name) {
    Unload();
    return Register(entry, exit, moduleHandle, name);
}

Status FilterHost::Register(FilterModuleInitProc entry, FilterModuleDeinitProc exit,
                            void *moduleHandle, const std::string &path) {
    record_.module = FilterModule{nullptr, nullptr, static_cast<HINSTANCE>(moduleHandle)};
    int version = 0;
    int compatibleVersion = 0;
    int result;
    {
        ModuleCallScope scope(this);
        result = entry(&record_.module, &functions_, version, compatibleVersion);
    }
    if (result != 0) {
        // A failed entry means the module is dropped without its exit, as the real host does.
        registered_.clear();
        module_.Close();
        return Fail(kantora::PrintableWhole(path) +
                    ": the plug-in's module entry failed (returned " + std::to_string(result) +
                    ")");
    }
    moduleExit_ = exit;
    if (compatibleVersion > kHostFilterDefinitionVersion) {
        Unload();
        return Fail(kantora::PrintableWhole(path) +
                    ": the plug-in needs a host of filter interface version " +
                    std::to_string(compatibleVersion) + " or later; this host offers " +
                    std::to_string(kHostFilterDefinitionVersion));
    }
    if (registered_.empty()) {
        Unload();
        return Fail(kantora::PrintableWhole(path) + ": the plug-in registered no filter");
    }
    return Ok();
}

void FilterHost::Unload() {
    if (moduleExit_ != nullptr) {
        ModuleCallScope scope(this);
        moduleExit_(&record_.module, &functions_);
        moduleExit_ = nullptr;
    }
    registered_.clear();
    module_.Close();
}

std::vector<const FilterDefinition *> FilterHost::Definitions() const {
    std::vector<const FilterDefinition *> definitions;
    for (const FilterDefinition &definition : registered_)
        definitions.push_back(&definition);
    return definitions;
}

}  // namespace filterhost
