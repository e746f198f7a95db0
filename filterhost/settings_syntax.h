// The statements of a processing-settings file as the host saves it, for example
//   VirtualDub.audio.SetMode(0);
//   VirtualDub.video.filters.Add("null transform");
//   VirtualDub.video.filters.instance[0].SetClipping(8,0,8,0);
//   VirtualDub.video.SetCompData(12,"AAAAAAAAAAAA");
// Every statement is parsed, whatever object it addresses, so that a syntax error anywhere is
// reported with its line and column; which ones matter is decided by the caller.
// A statement ends at ';' or at the end of its line; '//' and '#' start a comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script_call.h"

struct SettingsValue {
    enum Kind { Integer, Number, Text, Name, Expression } kind = Expression;
    int column = 0;
    int32_t integer = 0;  // Integer (decimal, or hexadecimal 0x... taken as 32 bits)
    std::string text;     // Text (escapes resolved), Name; the source text otherwise
};

// A statement that is one call on an object path; anything else (declarations, assignments,
// nested calls) is kept as `isCall == false` and left alone.
struct SettingsStatement {
    int line = 0;
    int column = 0;
    std::string text;  // as written, without the ';'
    bool isCall = false;
    std::string objectPath;  // e.g. "VirtualDub.video.filters.instance[1]", or empty
    int functionColumn = 0;
    std::string function;
    std::vector<SettingsValue> arguments;
};

struct SettingsParse {
    std::vector<SettingsStatement> statements;
    std::vector<ScriptError> errors;  // at most one per line; the rest of that line is skipped
};

SettingsParse ParseSettings(std::string_view text);
