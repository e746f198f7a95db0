#include "script_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kantora {

Expected<std::string> ReadScriptFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail("cannot open script " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return Fail("cannot read script " + path);
    return text.str();
}

}  // namespace kantora
