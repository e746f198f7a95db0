#include "input_file.h"

#include <cerrno>
#include <cstring>

#include "printable_text.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace filterhost {

Expected<InputFile> OpenInput(const std::string &path) {
    if (path == "-")
        return InputFile(stdin);
    InputFile file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return Fail("cannot read " + kantora::PrintableWhole(path) + ": " + std::strerror(errno));
    return file;
}

std::string InputName(const std::string &path) {
    return path != "-" ? kantora::PrintableWhole(path) : "standard input";
}

void UseBinaryStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

}  // namespace filterhost
