// The stand-in host's one script reader on any text: it must not crash, every message must be
// one line that points into the text and quotes it (no control character, valid UTF-8), and every
// call it reads with integer arguments must read back the same when written out plainly. Binding
// runs against a filter object with a few kinds of signatures, as --config, --script and settings
// files all bind.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "printable_text.h"
#include "script_binding.h"
#include "script_parser.h"

namespace kantora {
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

// One line of valid UTF-8 that cannot move the cursor or recolour the terminal: text that
// quoting leaves as it is.
bool OneLine(const std::string &text) {
    return !text.empty() && kantora::PrintableWhole(text) == text;
}

bool IntegersOnly(const ScriptStatement &call) {
    return std::all_of(call.arguments.begin(), call.arguments.end(),
                       [](const ScriptArgument &a) { return a.kind == ScriptArgument::Integer; });
}

std::string Plainly(const ScriptStatement &call) {
    std::string text = call.objectPath.empty() ? "" : call.objectPath + ".";
    text += call.function + "(";
    for (size_t k = 0; k < call.arguments.size(); ++k)
        text += (k ? ", " : "") + std::to_string(call.arguments[k].integer);
    return text + ");";
}

int TestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const ParsedScript parsed = ParseScript(text);

    int lastLine = 0;
    for (const ScriptStatement &s : parsed.statements) {
        FUZZ_CHECK(s.line >= lastLine && s.line <= lines && s.column >= 1);
        lastLine = s.line;
        if (!s.isCall || !IntegersOnly(s) || s.objectPath.find('[') != std::string::npos)
            continue;
        FUZZ_CHECK(s.functionColumn >= 1 && !s.function.empty());
        const ParsedScript again = ParseScript(Plainly(s));
        FUZZ_CHECK(again.errors.empty() && again.statements.size() == 1);
        const ScriptStatement &read = again.statements[0];
        FUZZ_CHECK(read.isCall && read.function == s.function && read.objectPath == s.objectPath);
        FUZZ_CHECK(IntegersOnly(read) && read.arguments.size() == s.arguments.size());
        for (size_t k = 0; k < s.arguments.size(); ++k)
            FUZZ_CHECK(read.arguments[k].integer == s.arguments[k].integer);
    }
    int lastErrorLine = 0;
    for (const ScriptError &error : parsed.errors) {
        FUZZ_CHECK(error.line > lastErrorLine && error.line <= lines && error.column >= 1);
        lastErrorLine = error.line;
        FUZZ_CHECK(OneLine(error.what));
        // What a line holds after its first error is skipped.
        for (const ScriptStatement &s : parsed.statements)
            FUZZ_CHECK(s.line != error.line || s.column < error.column);
    }

    Expected<BoundScript> bound = BindScript(text, &object, "Ours", -1, "fuzz");
    if (!bound) {
        FUZZ_CHECK(OneLine(bound.failure().message));
    } else {
        for (const BoundCall &call : bound->calls)
            for (const ScriptValue &value : call.arguments)
                FUZZ_CHECK(value.type == kScriptInt);
        for (const std::string &note : bound->notes)
            FUZZ_CHECK(OneLine(note));
    }
    return 0;
}

}  // namespace
}  // namespace kantora

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return kantora::TestOneInput(data, size);
}
