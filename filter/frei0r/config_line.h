// The plug-in's `config` parameter: a Config(...) line as VirtualDub saves it, read by the one
// script reader every host of the filter shares. ffmpeg's filter syntax takes commas as filter
// separators, so the line's arguments may also be separated by blanks.
#pragma once

#include <string>
#include <string_view>

#include "border_settings.h"
#include "expected.h"

namespace kantora::frei0r {

// The line in the script reader's form: every run of blanks between two arguments of the
// outermost parentheses becomes ", "; everything else is left as it is, so that the reader
// reports what is wrong in the text as written. "Config(3 0 -1)" gives "Config(3, 0, -1)".
std::string CommasForBlanks(std::string_view text);

// The settings of a `config` line, or what is wrong with it, after the line in the reader's form
// ("Config(1, 2) line 1, column 8: ..."). All sixteen values come from the line or none does.
Expected<BorderSettings> SettingsFromConfigLine(std::string_view text);

}  // namespace kantora::frei0r
