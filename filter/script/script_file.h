// A script file's text, read whole: calls one a line, or a processing-settings file (.vcf).
#pragma once

#include <string>

#include "expected.h"

namespace kantora {

Expected<std::string> ReadScriptFile(const std::string &path);

}  // namespace kantora
