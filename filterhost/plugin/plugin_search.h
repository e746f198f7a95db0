// Where filterhost finds the plug-in when no --plugin is given: beside its own program file,
// in the build tree's sibling folder filter/, and where `cmake --install` puts it
// (bin/filterhost and lib/kantora/Kantora231.so).
#pragma once

#include <string>

#include "host_results.h"

namespace filterhost {

// The first of those places that holds the plug-in file, or a failure naming every place.
Expected<std::string> FindPlugin();

// The folder of the running program file.
Expected<std::string> ProgramFolder();

}  // namespace filterhost
