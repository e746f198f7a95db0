// Kantora: a border-repair filter for VirtualDub.
//
// For each picture edge it paints a band in the border colour, smears picture lines from
// further in outward, and fades a band towards black. The host saves the sixteen region
// values in its scripts as one Config call. This file adapts the host's records to the
// border engine (../engine), shows the configuration dialog on Windows (config_dialog), and
// registers the filter.
#include <cstdint>

#include "border_repair.h"
#include "border_settings.h"
#include "filter_name.h"
#include "script_form.h"
#include "script_functions.h"
#include "vdfilter.h"

#if defined(_WIN32)
#include "config_dialog.h"
#endif

namespace kantora {

namespace {

// ---------------------------------------------------------------------------------------------
// Settings: the host allocates one BorderSettings per instance.

BorderSettings &SettingsOf(const FilterActivation *fa) {
    return *static_cast<BorderSettings *>(fa->filter_data);
}

// ---------------------------------------------------------------------------------------------
// Callbacks. Every one returns 0 (success) and lets no exception escape: the engine throws
// none.

int VDX_CDECL InitProc(FilterActivation *fa, const FilterFunctions *) {
    ResetBorderSettings(SettingsOf(fa));
    return 0;
}

int VDX_CDECL RunProc(const FilterActivation *fa, const FilterFunctions *) {
    const FilterBitmap &src = *fa->src;
    const FilterBitmap &dst = *fa->dst;
    // The filter declares no change of format, so the destination has the source's size.
    ProcessFrame(src.data, src.pitch, dst.data, dst.pitch, src.w, src.h, SettingsOf(fa));
    return 0;
}

int VDX_CDECL StartProc(FilterActivation *, const FilterFunctions *) { return 0; }

int VDX_CDECL EndProc(FilterActivation *, const FilterFunctions *) { return 0; }

void VDX_CDECL StringProc(const FilterActivation *fa, const FilterFunctions *, char *buffer) {
    WriteSummary(SettingsOf(fa), buffer);
}

bool VDX_CDECL ScriptStringProc(FilterActivation *fa, const FilterFunctions *, char *buffer,
                                int bufferSize) {
    return WriteConfigCall(SettingsOf(fa), buffer, bufferSize);
}

// ---------------------------------------------------------------------------------------------
// Filter definition.

// The dialog exists only in the Windows builds; elsewhere settings arrive through scripts.
#if defined(_WIN32)
constexpr FilterConfigProc kConfigureProc = ConfigureBorderFilter;
#else
constexpr FilterConfigProc kConfigureProc = nullptr;
#endif

// The host links the first three words into its filter list, so the record is writable.
FilterDefinition filterDefinition = {
    nullptr,
    nullptr,
    nullptr,                          // next, prev, module: the host's
    kFilterName,                      // name
    "Improves picture near borders",  // description
    "Tessaly",                        // maker
    nullptr,                          // private data
    sizeof(BorderSettings),           // instance data size
    InitProc,
    nullptr,  // deinit: the host frees the instance memory
    RunProc,
    nullptr,  // parameter: output has the input's format and size
    kConfigureProc,
    StringProc,
    StartProc,
    EndProc,
    &scriptObject,  // Config
    ScriptStringProc,
};

// Handle the host returned for the definition, kept until the module is unloaded.
FilterDefinition *registeredFilter = nullptr;

constexpr int kFilterDefinitionVersion = 7;
constexpr int kCompatibleDefinitionVersion = 4;

}  // namespace

}  // namespace kantora

VDX_EXPORT int VDX_CDECL VirtualdubFilterModuleInit2(FilterModule *module,
                                                     const FilterFunctions *ff, int &version,
                                                     int &compatibleVersion) {
    kantora::registeredFilter =
        ff->addFilter(module, &kantora::filterDefinition, sizeof(FilterDefinition));
    if (kantora::registeredFilter == nullptr)
        return 1;
    version = kantora::kFilterDefinitionVersion;
    compatibleVersion = kantora::kCompatibleDefinitionVersion;
    return 0;
}

VDX_EXPORT void VDX_CDECL VirtualdubFilterModuleDeinit(FilterModule *, const FilterFunctions *ff) {
    if (kantora::registeredFilter != nullptr)
        ff->removeFilter(kantora::registeredFilter);
    kantora::registeredFilter = nullptr;
}
