// Statements of the host's script language, as the host saves them in processing-settings
// files and as single lines:
//   VirtualDub.audio.SetMode(0);
//   VirtualDub.video.filters.Add("null transform");
//   VirtualDub.video.filters.instance[0].Config(1, 0x10, -3);  // a note
//   Config(1, 2, 3)
// Every statement is parsed, whatever object it addresses, so that a syntax error anywhere is
// reported with its line and column; which ones matter is decided by the binding. A statement
// ends at ';' or at the end of its line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kantora {

struct ScriptArgument {
    enum Kind { Integer, Number, Text, Name, Expression } kind = Expression;
    int column = 0;
    int32_t integer = 0;  // Integer
    std::string text;     // Text (escapes resolved), Name; as written otherwise
};

// A statement that is one call on an object path; anything else (declarations, assignments,
// nested calls) is kept as `isCall == false` with its text.
struct ScriptStatement {
    int line = 0;
    int column = 0;
    std::string text;  // as written, without the ';'
    bool isCall = false;
    std::string objectPath;  // e.g. "VirtualDub.video.filters.instance[1]", or empty
    int functionColumn = 0;
    std::string function;
    std::vector<ScriptArgument> arguments;
};

struct ScriptError {
    int line = 0;
    int column = 0;
    std::string what;  // "expected ..., found ..."
};

struct ParsedScript {
    std::vector<ScriptStatement> statements;
    std::vector<ScriptError> errors;  // at most one per line; the rest of that line is skipped
};

ParsedScript ParseScript(std::string_view text);

}  // namespace kantora
