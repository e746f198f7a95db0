// The filter's script functions, as the host's script interpreter calls them: Config with the
// sixteen region values. The plug-in's definition record lists them, and readers of saved
// settings that run the engine without the host bind their text to the same table.
#pragma once

#include "vdfilter.h"

namespace kantora {

// Config(16 integers) on an activation whose instance data is a BorderSettings.
extern ScriptObject scriptObject;

}  // namespace kantora
