// The stand-in host's script reader on any text: it must not crash, every message must be one
// line that points into the text, and every call it reads must read back the same when written
// out plainly. Binding runs against a filter object with a few kinds of signatures.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "script_binding.h"
#include "script_call.h"

namespace {

void VDX_CDECL Ignore(IScriptInterpreter *, void *, const ScriptValue *, int) {}

ScriptFunctionDef functions[] = {
    {Ignore, "Config", "0iiiiiiiiiiiiiiii"},
    {Ignore, "Pair", "0ii"},
    {Ignore, "Pair", "0i"},
    {Ignore, "Name", "0s"},
    {Ignore, "Count", "i"},
    {nullptr, nullptr, nullptr},
};
ScriptObject object = {nullptr, functions, nullptr};

bool OneLine(const std::string &text) {
    return !text.empty() && text.find_first_of("\r\n") == std::string::npos;
}

std::string Plainly(const ScriptCall &call) {
    std::string text = call.objectPath.empty() ? "" : call.objectPath + ".";
    text += call.function + "(";
    for (size_t k = 0; k < call.arguments.size(); ++k)
        text += (k ? ", " : "") + std::to_string(call.arguments[k]);
    return text + ");";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const ScriptParse parse = ParseScript(text);

    int lastLine = 0;
    for (const ScriptCall &call : parse.calls) {
        FUZZ_CHECK(call.line > lastLine && call.line <= lines);
        lastLine = call.line;
        FUZZ_CHECK(call.functionColumn >= 1 && !call.function.empty());
        const ScriptParse again = ParseScript(Plainly(call));
        FUZZ_CHECK(again.errors.empty() && again.calls.size() == 1);
        FUZZ_CHECK(again.calls[0].function == call.function);
        FUZZ_CHECK(again.calls[0].objectPath == call.objectPath);
        FUZZ_CHECK(again.calls[0].arguments == call.arguments);
    }
    for (const ScriptError &error : parse.errors) {
        FUZZ_CHECK(error.line >= 1 && error.line <= lines && error.column >= 1);
        FUZZ_CHECK(OneLine(error.what));
        const bool alsoACall = std::any_of(parse.calls.begin(), parse.calls.end(),
                                           [&](const ScriptCall &c) { return c.line == error.line; });
        FUZZ_CHECK(!alsoACall);
    }

    Expected<std::vector<BoundCall>> bound = BindScript(text, &object, "fuzz");
    if (!bound) {
        FUZZ_CHECK(OneLine(bound.failure().message));
    } else {
        FUZZ_CHECK(parse.errors.empty() && bound->size() == parse.calls.size());
        for (const BoundCall &call : *bound)
            for (const ScriptValue &value : call.arguments)
                FUZZ_CHECK(value.type == kScriptInt);
    }
    return 0;
}
