// --suggest: an input's edges measured, the filter's values chosen from what was found, and
// printed as the filter's own Config call.
#pragma once

#include "command_line.h"
#include "expected.h"
#include "filter_instance.h"

namespace filterhost {

// Prints the call on standard output and, unless quiet, what was found on standard error.
// `instance` writes the call: the suggested values go through its Config function.
Status SuggestSettings(FilterInstance &instance, const FilterDefinition &definition,
                       const Options &options);

}  // namespace filterhost
