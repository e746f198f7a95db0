// The filter's configuration dialog (Windows builds only).
#pragma once

#include "vdfilter.h"

namespace kantora {

// Configure callback: runs the dialog modally over the instance's live settings. Returns 0
// when the user accepted; 1 when the dialog ended any other way or could not be created, with
// the whole settings record put back as it was.
int VDX_CDECL ConfigureBorderFilter(FilterActivation *fa, const FilterFunctions *ff, HWND parent);

}  // namespace kantora
