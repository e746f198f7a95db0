// A call of one of the filter's script functions with its arguments, ready to run.
#pragma once

#include <vector>

#include "vdfilter.h"

namespace kantora {

struct BoundCall {
    ScriptFunctionPtr function = nullptr;
    std::vector<ScriptValue> arguments;  // one integer value per argument, in order
};

}  // namespace kantora
