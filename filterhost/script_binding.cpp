#include "script_binding.h"

#include <cstring>

namespace {

std::string Where(const std::string &source, int line, int column) {
    return source + " line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

// Signatures are the result letter, '0' for none, then one letter per argument. This host
// passes integers only.
bool TakesIntegersOnly(const char *signature) {
    if (signature == nullptr || signature[0] != '0')
        return false;
    for (const char *letter = signature + 1; *letter != '\0'; ++letter)
        if (*letter != 'i')
            return false;
    return true;
}

std::string Plural(size_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

Expected<BoundCall> BindScriptCall(const ScriptCall &call, const ScriptObject *object,
                                   const std::string &source) {
    if (!call.objectPath.empty() && call.objectPath != kInstanceObjectPath)
        return Fail(Where(source, call.line, call.objectColumn) + "expected the object " +
                    kInstanceObjectPath + " (the one filter instance), found " + call.objectPath);
    const std::string at = Where(source, call.line, call.functionColumn);
    if (object == nullptr || object->func_list == nullptr)
        return Fail(at + "the filter has no script functions, so " + call.function +
                    " cannot be called");

    // A name may be listed more than once with different signatures; take the one that fits.
    std::vector<std::string> signatures;
    for (const ScriptFunctionDef *def = object->func_list; def->func != nullptr; ++def) {
        if (def->name == nullptr || call.function != def->name)
            continue;
        const char *signature = def->arg_list != nullptr ? def->arg_list : "";
        signatures.push_back(std::string("\"") + signature + "\"");
        if (!TakesIntegersOnly(signature) ||
            std::strlen(signature) - 1 != call.arguments.size())
            continue;
        BoundCall bound;
        bound.function = def->func;
        bound.arguments.reserve(call.arguments.size());
        for (int32_t argument : call.arguments) {
            ScriptValue value;
            std::memset(&value, 0, sizeof value);
            value.type = kScriptInt;
            value.u.i = argument;
            bound.arguments.push_back(value);
        }
        return bound;
    }
    if (signatures.empty())
        return Fail(at + "expected the name of a script function of the filter, found " +
                    call.function);
    std::string expected = signatures.front();
    for (size_t k = 1; k < signatures.size(); ++k)
        expected += " or " + signatures[k];
    return Fail(at + "expected arguments matching " + call.function + "'s signature " + expected +
                " (this host passes integers only, one 'i' each), found " +
                Plural(call.arguments.size(), "integer", "integers"));
}

Expected<std::vector<BoundCall>> BindScript(const std::string &text, const ScriptObject *object,
                                            const std::string &source) {
    const ScriptParse parse = ParseScript(text);
    const ScriptError *parseError = parse.errors.empty() ? nullptr : &parse.errors.front();
    std::vector<BoundCall> bound;
    for (const ScriptCall &call : parse.calls) {
        // Report the first error by line, whether the parser or the binding found it.
        if (parseError != nullptr && parseError->line < call.line)
            break;
        Expected<BoundCall> one = BindScriptCall(call, object, source);
        if (!one)
            return one.failure();
        bound.push_back(std::move(*one));
    }
    if (parseError != nullptr)
        return Fail(Where(source, parseError->line, parseError->column) + parseError->what);
    if (bound.empty())
        return Fail(source + ": expected a call such as Config(...), found no call");
    return bound;
}
