// A host function table and instance records for driving the plug-in's callbacks directly.
#pragma once

#include <cstdint>
#include <vector>

#include "border_settings.h"
#include "host/vdfilter.h"

extern "C" int VDX_CDECL VirtualdubFilterModuleInit2(FilterModule *, const FilterFunctions *,
                                                     int &, int &);
extern "C" void VDX_CDECL VirtualdubFilterModuleDeinit(FilterModule *, const FilterFunctions *);

// Records what the plug-in registers; add-filter fails when told to.
struct FakeHost {
    inline static FakeHost *current = nullptr;

    bool failAdd = false;
    int addCalls = 0;
    FilterModule *addedModule = nullptr;
    FilterDefinition *added = nullptr;
    int addedSize = 0;
    std::vector<FilterDefinition *> removed;
    FilterDefinition handle{};  // what add-filter hands back as the filter handle
    FilterFunctions functions{};

    FakeHost() {
        current = this;
        functions.addFilter = &FakeHost::addFilter;
        functions.removeFilter = &FakeHost::removeFilter;
    }
    ~FakeHost() { current = nullptr; }

    static FilterDefinition *VDX_CDECL addFilter(FilterModule *module, FilterDefinition *def,
                                                 int size) {
        FakeHost &h = *current;
        ++h.addCalls;
        h.addedModule = module;
        h.added = def;
        h.addedSize = size;
        return h.failAdd ? nullptr : &h.handle;
    }
    static void VDX_CDECL removeFilter(FilterDefinition *def) { current->removed.push_back(def); }
};

// One instance: settings memory of the declared size and an activation record over it.
struct FakeInstance {
    std::vector<unsigned char> memory;
    FilterActivation fa{};

    explicit FakeInstance(const FilterDefinition &def)
        : memory(static_cast<size_t>(def.inst_data_size), 0xCD) {
        fa.filter = &def;
        fa.filter_data = memory.data();
    }
    BorderSettings &settings() { return *reinterpret_cast<BorderSettings *>(memory.data()); }
};

// The filter as the plug-in registers it with a fake host, and one instance fresh from init.
struct RegisteredInstance {
    FakeHost host;
    FilterModule module{};
    FilterDefinition &filter;
    FakeInstance instance;

    RegisteredInstance() : filter(Register(host, module)), instance(filter) {
        filter.initProc(&instance.fa, &host.functions);
    }

private:
    static FilterDefinition &Register(FakeHost &host, FilterModule &module) {
        int version = 0, compatible = 0;
        VirtualdubFilterModuleInit2(&module, &host.functions, version, compatible);
        return *host.added;
    }
};
