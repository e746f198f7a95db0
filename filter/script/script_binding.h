// filterhost/script: the host's script language, read and bound to the filter's functions.
// Script text for one filter instance, bound to the filter's script functions before anything
// runs, so that a bad line never leaves settings half applied. The text may be a few calls on
// the one instance (Config(...) lines, with or without the object path), or a whole
// processing-settings file saved by the host (a .vcf) with audio lines, other filters and the
// host's own per-filter settings in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bound_call.h"
#include "expected.h"
#include "vdfilter.h"

namespace kantora {

// The object path by which the host's scripts address the one filter instance it runs.
constexpr const char *kInstanceObjectPath = "VirtualDub.video.filters.instance[0]";
// Where a settings file adds filters to the host's chain; calls are addressed per instance.
constexpr const char *kFilterChainPath = "VirtualDub.video.filters";

struct BoundScript {
    std::vector<BoundCall> calls;
    std::vector<std::string> notes;  // what of the text this host leaves unrun, one line each
};

// Binds `text` for the filter registered as `filterName`; `source` names the text in messages
// ("--config", a file name), with the line and column of what is wrong. A text that adds
// filters to the chain gives the calls of the instance that adds this filter (`instance`, the
// host's instance number, picks one when it is added more than once; -1: none given); the
// other filters and the host's own calls on the instance are left alone and named in the
// notes. Any other text must be calls of the filter's functions on the one instance.
Expected<BoundScript> BindScript(std::string_view text, const ScriptObject *object,
                                 const std::string &filterName, int instance,
                                 const std::string &source);

// A complete settings file that sets up a chain of this one filter with its script call.
std::string SettingsFileText(const std::string &filterName, const std::string &scriptCall);

}  // namespace kantora
