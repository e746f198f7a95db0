// Script text as the host reads it: lines such as
//   VirtualDub.video.filters.instance[0].Config(1, 2, 3);
// each one call of a named function with integer arguments. Blank lines and lines starting
// with '#' are skipped; a call may be followed by ';' and a '#' comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ScriptCall {
    int line = 0;                 // 1-based line of the call in its text
    int objectColumn = 0;         // 1-based column of the object path, 0 when there is none
    std::string objectPath;       // e.g. "VirtualDub.video.filters.instance[0]", or empty
    int functionColumn = 0;       // 1-based column of the function name
    std::string function;
    std::vector<int32_t> arguments;
};

struct ScriptError {
    int line = 0;
    int column = 0;
    std::string what;             // "expected ..., found ..."
};

struct ScriptParse {
    std::vector<ScriptCall> calls;
    std::vector<ScriptError> errors;  // empty when every line parsed; at most one per line
};

// Parses every line of the text ("\n" or "\r\n" line ends). Lines with errors give no call.
ScriptParse ParseScript(std::string_view text);
