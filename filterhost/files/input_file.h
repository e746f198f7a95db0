// Where frames come from: a named file, or standard input for "-", in binary mode.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "host_results.h"

namespace filterhost {

// Standard input stays open when the input is done with.
struct CloseUnlessStandardInput {
    void operator()(std::FILE *file) const {
        if (file != stdin)
            std::fclose(file);
    }
};
using InputFile = std::unique_ptr<std::FILE, CloseUnlessStandardInput>;
Expected<InputFile> OpenInput(const std::string &path);
// How messages name it: the path, or "standard input".
std::string InputName(const std::string &path);

// Puts standard input and output into binary mode (a no-op outside Windows).
void UseBinaryStandardStreams();

}  // namespace filterhost
