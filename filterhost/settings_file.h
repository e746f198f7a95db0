// Script text for one filter instance, whether it is a few Config(...) lines or a whole
// processing-settings file saved by the host (a .vcf) with audio lines, other filters and
// the host's own per-filter settings in it.
#pragma once

#include <string>
#include <vector>

#include "expected.h"
#include "host/vdfilter.h"
#include "script_binding.h"

struct BoundScript {
    std::vector<BoundCall> calls;
    std::vector<std::string> notes;  // what of the text this host leaves unrun, one line each
};

// Where a settings file adds filters to the host's chain, calls are addressed per instance.
constexpr const char *kFilterChainPath = "VirtualDub.video.filters";

// Binds `text` for the filter registered as `filterName`. A text that adds filters to the chain
// gives the calls of the instance that adds this filter (`instance`, the host's instance number,
// picks one when it is added more than once; -1: none given); the other filters and the host's
// own calls on the instance are left alone and named in the notes. Any other text is calls on
// the one instance, as BindScript reads them.
Expected<BoundScript> BindSettings(const std::string &text, const ScriptObject *object,
                                   const std::string &filterName, int instance,
                                   const std::string &source);

// A complete settings file that sets up a chain of this one filter with its script call.
std::string SettingsFileText(const std::string &filterName, const std::string &scriptCall);
