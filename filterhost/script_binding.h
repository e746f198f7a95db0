// Matching parsed script calls against a filter's script functions, before anything runs:
// a call that names no function, has the wrong arguments or addresses another object is
// refused here, so a bad line never leaves settings half applied.
#pragma once

#include <string>
#include <vector>

#include "expected.h"
#include "host/vdfilter.h"
#include "script_call.h"

// The object path by which the host's scripts address the one filter instance it runs.
constexpr const char *kInstanceObjectPath = "VirtualDub.video.filters.instance[0]";

struct BoundCall {
    ScriptFunctionPtr function = nullptr;
    std::vector<ScriptValue> arguments;  // one integer value per argument, in order
};

// Binds one call. `source` names the text in messages ("--config", a file name).
Expected<BoundCall> BindScriptCall(const ScriptCall &call, const ScriptObject *object,
                                   const std::string &source);

// Parses and binds a whole text; the first error (by line) fails it all.
Expected<std::vector<BoundCall>> BindScript(const std::string &text, const ScriptObject *object,
                                            const std::string &source);
