// Misbehaving plug-ins for the host's error paths; FAKE_KIND selects the fault:
//   1 no module entry, 2 registers nothing, 3 entry fails, 4 run ignores the pitch,
//   5 script-string callback writes past its buffer.
#include <cstring>

#include "vdfilter.h"

#if FAKE_KIND == 1

VDX_EXPORT int VDX_CDECL SomethingElse() { return 0; }

#else

namespace filterhost {
namespace {

FilterDefinition *handle = nullptr;

// Treats the frame as if its rows were packed, so that with wider rows it writes into the
// padding after each row.
int VDX_CDECL RunIgnoringPitch(const FilterActivation *fa, const FilterFunctions *) {
    const size_t pixels = size_t(fa->src->w) * size_t(fa->src->h);
    for (size_t k = 0; k < pixels; ++k)
        fa->dst->data[k] = 0x00112233u;
    return 0;
}

bool VDX_CDECL ScriptStringOverrun(FilterActivation *, const FilterFunctions *, char *buffer,
                                   int bufferSize) {
    std::memset(buffer, 'x', size_t(bufferSize) + 8);
    return true;
}

FilterDefinition definition = {
    nullptr,
    nullptr,
    nullptr,
    "Fake",
    "A filter that breaks the rules",
    "Tests",
    nullptr,
    16,
    nullptr,
    nullptr,
    RunIgnoringPitch,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    ScriptStringOverrun,
};

}  // namespace
}  // namespace filterhost

VDX_EXPORT int VDX_CDECL VirtualdubFilterModuleInit2(FilterModule *module,
                                                     const FilterFunctions *ff, int &version,
                                                     int &compatibleVersion) {
#if FAKE_KIND == 2
    (void)module, (void)ff, (void)filterhost::definition;
#else
    filterhost::handle =
        ff->addFilter(module, &filterhost::definition, sizeof filterhost::definition);
#endif
    version = 7;
    compatibleVersion = 4;
    return FAKE_KIND == 3 ? 1 : 0;
}

VDX_EXPORT void VDX_CDECL VirtualdubFilterModuleDeinit(FilterModule *, const FilterFunctions *ff) {
    if (filterhost::handle != nullptr)
        ff->removeFilter(filterhost::handle);
    filterhost::handle = nullptr;
}

#endif
