#include "script_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "printable_text.h"

namespace kantora {

Expected<std::string> ReadScriptFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail("cannot open script " + kantora::PrintableWhole(path) + ": " +
                    std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return Fail("cannot read script " + kantora::PrintableWhole(path));
    return text.str();
}

}  // namespace kantora
