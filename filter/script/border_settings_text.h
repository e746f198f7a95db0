// The border filter's settings read from script text exactly as filterhost reads --config and
// --script, for hosts that run the border engine without loading the plug-in (the GStreamer
// element, the frei0r plug-in): the same reader, bound to the filter's own script functions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "border_settings.h"
#include "expected.h"

namespace kantora {

struct SettingsFromText {
    BorderSettings settings;         // the defaults, then every call of the text in order
    std::vector<std::string> notes;  // what of the text was left unrun, one line each
};

// `text` is one or more Config calls (with or without the host's object path and ';'), or a
// whole processing-settings file (.vcf), of which the instance that adds the border filter
// counts; `instance` picks one where the file adds it more than once (-1: none given).
// `source` names the text in messages, which give the line and column of what is wrong.
Expected<SettingsFromText> ReadBorderSettings(std::string_view text, const std::string &source,
                                              int instance = -1);

// The same for a file.
Expected<SettingsFromText> ReadBorderSettingsFile(const std::string &path, int instance = -1);

}  // namespace kantora
