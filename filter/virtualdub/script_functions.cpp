#include "script_functions.h"

#include "border_settings.h"
#include "config_layout.h"
#include "script_form.h"

namespace kantora {

namespace {

// Config(16 integers): restores the region values exactly as the script-string callback wrote
// them. Values are stored unchanged, whatever their range; the run callback copes with any.
void VDX_CDECL ConfigScriptProc(IScriptInterpreter *, void *activation, const ScriptValue *argv,
                                int argc) {
    // The host only calls with the sixteen integers of the signature; anything shorter would
    // make us read past its argument array, so it is ignored.
    if (argv == nullptr || argc < kConfigValueCount)
        return;
    ConfigValues values;
    for (int k = 0; k < kConfigValueCount; ++k)
        values[k] = argv[k].u.i;
    auto *fa = static_cast<FilterActivation *>(activation);
    SetConfigValues(*static_cast<BorderSettings *>(fa->filter_data), values);
}

ScriptFunctionDef scriptFunctions[] = {
    {ConfigScriptProc, kConfigFunctionName, kConfigSignature},
    {nullptr, nullptr, nullptr},
};

}  // namespace

ScriptObject scriptObject = {nullptr, scriptFunctions, nullptr};

}  // namespace kantora
