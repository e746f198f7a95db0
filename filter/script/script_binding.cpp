#include "script_binding.h"

#include <algorithm>
#include <cstring>

#include "printable_text.h"
#include "script_parser.h"

namespace kantora {

namespace {

std::string Where(const std::string &source, int line, int column) {
    return source + " line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

Failure FailAt(const std::string &source, const ScriptError &error) {
    return Fail(Where(source, error.line, error.column) + error.what);
}

std::string Quoted(const std::string &text) { return "\"" + kantora::Printable(text) + "\""; }

std::string InstanceName(size_t index) { return "instance[" + std::to_string(index) + "]"; }

std::string Plural(size_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "16 whole numbers", "1 or 3 whole numbers", "no whole numbers"; `counts` ascending.
std::string WholeNumbers(const std::vector<size_t> &counts) {
    if (counts == std::vector<size_t>{0})
        return "no whole numbers";
    std::string text;
    for (size_t k = 0; k < counts.size(); ++k)
        text += (k == 0 ? "" : k + 1 < counts.size() ? ", " : " or ") + std::to_string(counts[k]);
    return text + (counts == std::vector<size_t>{1} ? " whole number" : " whole numbers");
}

// "instance[1] and instance[3]", or "--instance 1 or --instance 3".
std::string Choices(const std::vector<size_t> &indexes, bool asOptions) {
    std::string text;
    for (size_t k = 0; k < indexes.size(); ++k)
        text += (k == 0                   ? ""
                 : k + 1 < indexes.size() ? ", "
                 : asOptions              ? " or "
                                          : " and ") +
                (asOptions ? "--instance " + std::to_string(indexes[k]) : InstanceName(indexes[k]));
    return text;
}

bool IsFilterFunction(const ScriptObject *object, const std::string &name) {
    if (object == nullptr || object->func_list == nullptr)
        return false;
    for (const ScriptFunctionDef *def = object->func_list; def->func != nullptr; ++def)
        if (def->name != nullptr && name == def->name)
            return true;
    return false;
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

// One call of the filter's script functions: its arguments must be integers that fit the
// signature of a function of that name (a name may be listed with several signatures).
Expected<BoundCall> BindCall(const ScriptStatement &call, const ScriptObject *object,
                             const std::string &source) {
    const std::string at = Where(source, call.line, call.functionColumn);
    if (object == nullptr || object->func_list == nullptr)
        return Fail(at + "the filter has no script functions, so " +
                    kantora::Printable(call.function) + " cannot be called");
    std::vector<int32_t> integers;
    for (const ScriptArgument &argument : call.arguments) {
        if (argument.kind != ScriptArgument::Integer)
            return Fail(
                Where(source, call.line, argument.column) + "expected an integer for " +
                "argument " + std::to_string(integers.size() + 1) + " of " +
                kantora::Printable(call.function) + " (this host passes integers only), found " +
                (argument.kind == ScriptArgument::Text ? Quoted(argument.text)
                                                       : kantora::Printable(argument.text)));
        integers.push_back(argument.integer);
    }
    std::vector<std::string> signatures;
    std::vector<size_t> counts;  // of the signatures this host can call
    for (const ScriptFunctionDef *def = object->func_list; def->func != nullptr; ++def) {
        if (def->name == nullptr || call.function != def->name)
            continue;
        const char *signature = def->arg_list != nullptr ? def->arg_list : "";
        signatures.push_back(Quoted(signature));
        if (!TakesIntegersOnly(signature))
            continue;
        counts.push_back(std::strlen(signature) - 1);
        if (counts.back() != integers.size())
            continue;
        BoundCall bound;
        bound.function = def->func;
        for (int32_t integer : integers) {
            ScriptValue value;
            std::memset(&value, 0, sizeof value);
            value.type = kScriptInt;
            value.u.i = integer;
            bound.arguments.push_back(value);
        }
        return bound;
    }
    const std::string function = kantora::Printable(call.function);
    if (signatures.empty())
        return Fail(at + "expected the name of a script function of the filter, found " + function);
    if (!counts.empty()) {
        std::sort(counts.begin(), counts.end());
        counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
        return Fail(at + function + " takes " + WholeNumbers(counts) + "; this one has " +
                    (integers.empty() ? "none" : std::to_string(integers.size())));
    }
    std::string expected = signatures.front();
    for (size_t k = 1; k < signatures.size(); ++k)
        expected += " or " + signatures[k];
    return Fail(at + "expected arguments matching " + function + "'s signature " + expected +
                " (this host passes integers only, one 'i' each), found " +
                Plural(integers.size(), "integer", "integers"));
}

// Calls on the one instance: every statement must be a call of the filter's functions,
// addressed to no object or to the instance. The first bad line counts, whether the parser or
// the binding found it; on a line with a syntax error, that error.
Expected<BoundScript> BindCalls(const ParsedScript &parsed, const ScriptObject *object,
                                const std::string &source) {
    const ScriptError *syntax = parsed.errors.empty() ? nullptr : &parsed.errors.front();
    BoundScript bound;
    for (const ScriptStatement &s : parsed.statements) {
        if (syntax != nullptr && syntax->line <= s.line)
            break;
        if (!s.isCall)
            return Fail(Where(source, s.line, s.column) +
                        "expected a call such as Config(...), found " + kantora::Printable(s.text));
        if (!s.objectPath.empty() && s.objectPath != kInstanceObjectPath)
            return Fail(Where(source, s.line, s.column) + "expected the object " +
                        kInstanceObjectPath + " (the one filter instance), found " +
                        kantora::Printable(s.objectPath));
        Expected<BoundCall> one = BindCall(s, object, source);
        if (!one)
            return one.failure();
        bound.calls.push_back(std::move(*one));
    }
    if (syntax != nullptr)
        return FailAt(source, *syntax);
    if (bound.calls.empty())
        return Fail(source + ": expected a call such as Config(...), found no call");
    return bound;
}

struct ChainEntry {
    std::string name;
    std::vector<const ScriptStatement *> calls;
};

bool AddsFilters(const ParsedScript &parsed) {
    return std::any_of(
        parsed.statements.begin(), parsed.statements.end(), [](const ScriptStatement &s) {
            return s.isCall && s.objectPath == kFilterChainPath && s.function == "Add";
        });
}

// The chain as it stands at the end of the text: Clear empties it, Add appends, and
// instance[n] calls go to the n-th filter added since.
Expected<std::vector<ChainEntry>> FollowChain(const ParsedScript &parsed,
                                              const std::string &source) {
    const std::string instancePrefix = std::string(kFilterChainPath) + ".instance[";
    std::vector<ChainEntry> chain;
    for (const ScriptStatement &s : parsed.statements) {
        if (!s.isCall)
            continue;
        if (s.objectPath == kFilterChainPath) {
            if (s.function == "Clear") {
                chain.clear();
            } else if (s.function == "Add") {
                if (s.arguments.size() != 1 || s.arguments[0].kind != ScriptArgument::Text)
                    return Fail(Where(source, s.line, s.functionColumn) +
                                "expected Add(\"filter name\"), found " +
                                kantora::Printable(s.text));
                chain.push_back({s.arguments[0].text, {}});
            }
            continue;
        }
        if (s.objectPath.compare(0, instancePrefix.size(), instancePrefix) != 0)
            continue;
        const std::string index = s.objectPath.substr(instancePrefix.size());
        if (index.size() < 2 || index.size() > 10 || index.back() != ']' ||
            index.find_first_not_of("0123456789") != index.size() - 1)
            continue;  // deeper objects of an instance, or an index this host cannot follow
        const size_t n = std::stoul(index);
        if (n >= chain.size())
            return Fail(Where(source, s.line, s.column) + "expected an instance below " +
                        std::to_string(chain.size()) + " (the filters added so far), found " +
                        InstanceName(n));
        chain[n].calls.push_back(&s);
    }
    return chain;
}

Expected<size_t> ChooseInstance(const std::vector<ChainEntry> &chain, const std::string &filterName,
                                int instance, const std::string &source) {
    std::vector<size_t> ours;
    for (size_t k = 0; k < chain.size(); ++k)
        if (chain[k].name == filterName)
            ours.push_back(k);
    if (ours.empty()) {
        std::string added;
        for (size_t k = 0; k < chain.size(); ++k)
            added += (k == 0 ? "" : ", ") + Quoted(chain[k].name);
        return Fail(
            source + " adds no filter named " + Quoted(filterName) +
            (chain.empty() ? " (its filter chain ends empty)" : " (it adds " + added + ")"));
    }
    const std::string choices = Choices(ours, true);
    if (instance >= 0) {
        if (std::find(ours.begin(), ours.end(), size_t(instance)) != ours.end())
            return size_t(instance);
        const std::string what = size_t(instance) < chain.size()
                                     ? "is " + Quoted(chain[size_t(instance)].name)
                                     : "does not exist";
        return Fail("--instance " + std::to_string(instance) + ": " + InstanceName(instance) +
                        " of " + source + " " + what + "; choose " + choices,
                    FailureKind::Usage);
    }
    if (ours.size() > 1)
        return Fail(source + " adds " + Quoted(filterName) + " " + std::to_string(ours.size()) +
                        " times, as " + Choices(ours, false) + ": choose one with " + choices,
                    FailureKind::Usage);
    return ours.front();
}

// A settings file: the calls of our instance that are the filter's run, the rest is named.
// A syntax error anywhere refuses the file, also in lines for the host.
Expected<BoundScript> BindChain(const ParsedScript &parsed, const ScriptObject *object,
                                const std::string &filterName, int instance,
                                const std::string &source) {
    if (!parsed.errors.empty())
        return FailAt(source, parsed.errors.front());
    Expected<std::vector<ChainEntry>> chain = FollowChain(parsed, source);
    if (!chain)
        return chain.failure();
    Expected<size_t> chosen = ChooseInstance(*chain, filterName, instance, source);
    if (!chosen)
        return chosen.failure();

    BoundScript bound;
    std::string others;
    for (size_t k = 0; k < chain->size(); ++k)
        if (k != *chosen)
            others +=
                (others.empty() ? "" : ", ") + InstanceName(k) + " " + Quoted((*chain)[k].name);
    if (!others.empty())
        bound.notes.push_back(source + ": not running the other filters of the chain: " + others);
    for (const ScriptStatement *s : (*chain)[*chosen].calls) {
        if (!IsFilterFunction(object, s->function)) {
            bound.notes.push_back(source + " line " + std::to_string(s->line) + ": not running " +
                                  kantora::Printable(s->text) +
                                  ": the host applies it, not the filter");
            continue;
        }
        Expected<BoundCall> one = BindCall(*s, object, source);
        if (!one)
            return one.failure();
        bound.calls.push_back(std::move(*one));
    }
    return bound;
}

}  // namespace

Expected<BoundScript> BindScript(std::string_view text, const ScriptObject *object,
                                 const std::string &filterName, int instance,
                                 const std::string &source) {
    const std::string shown = kantora::PrintableWhole(source);  // a file name, as messages show it
    const ParsedScript parsed = ParseScript(text);
    if (AddsFilters(parsed))
        return BindChain(parsed, object, filterName, instance, shown);
    if (instance > 0)
        return Fail("--instance " + std::to_string(instance) + ": " + shown +
                        " adds no filters to choose from",
                    FailureKind::Usage);
    return BindCalls(parsed, object, shown);
}

std::string SettingsFileText(const std::string &filterName, const std::string &scriptCall) {
    std::string name;
    for (char c : filterName) {
        if (c == '\\' || c == '"')
            name += '\\';
        name += c;
    }
    const std::string chain = kFilterChainPath;
    return chain + ".Clear();\n" + chain + ".Add(\"" + name + "\");\n" + chain + ".instance[0]." +
           scriptCall + ";\n";
}

}  // namespace kantora
