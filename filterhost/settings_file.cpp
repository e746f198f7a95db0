#include "settings_file.h"

#include <algorithm>

#include "settings_syntax.h"

namespace {

struct ChainEntry {
    std::string name;
    std::vector<const SettingsStatement *> calls;
};

std::string Where(const std::string &source, int line, int column) {
    return source + " line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

std::string InstanceName(size_t index) { return "instance[" + std::to_string(index) + "]"; }

// "instance[1] and instance[3]", or "--instance 1 or --instance 3".
std::string Choices(const std::vector<size_t> &indexes, bool asOptions) {
    std::string text;
    for (size_t k = 0; k < indexes.size(); ++k)
        text += (k == 0 ? "" : k + 1 < indexes.size() ? ", " : asOptions ? " or " : " and ") +
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

bool AddsFilters(const SettingsParse &parse) {
    return std::any_of(parse.statements.begin(), parse.statements.end(),
                       [](const SettingsStatement &s) {
                           return s.isCall && s.objectPath == kFilterChainPath && s.function == "Add";
                       });
}

// The chain as it stands at the end of the text: Clear empties it, Add appends, and
// instance[n] calls go to the n-th filter added since.
Expected<std::vector<ChainEntry>> FollowChain(const SettingsParse &parse,
                                              const std::string &source) {
    const std::string instancePrefix = std::string(kFilterChainPath) + ".instance[";
    std::vector<ChainEntry> chain;
    for (const SettingsStatement &s : parse.statements) {
        if (!s.isCall)
            continue;
        if (s.objectPath == kFilterChainPath) {
            if (s.function == "Clear") {
                chain.clear();
            } else if (s.function == "Add") {
                if (s.arguments.size() != 1 || s.arguments[0].kind != SettingsValue::Text)
                    return Fail(Where(source, s.line, s.functionColumn) +
                                "expected Add(\"filter name\"), found " + s.text);
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

Expected<size_t> ChooseInstance(const std::vector<ChainEntry> &chain,
                                const std::string &filterName, int instance,
                                const std::string &source) {
    std::vector<size_t> ours;
    for (size_t k = 0; k < chain.size(); ++k)
        if (chain[k].name == filterName)
            ours.push_back(k);
    if (ours.empty()) {
        std::string added;
        for (size_t k = 0; k < chain.size(); ++k)
            added += (k == 0 ? "" : ", ") + Quoted(chain[k].name);
        return Fail(source + " adds no filter named " + Quoted(filterName) +
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
                    kExitUsage);
    }
    if (ours.size() > 1)
        return Fail(source + " adds " + Quoted(filterName) + " " + std::to_string(ours.size()) +
                        " times, as " + Choices(ours, false) +
                        ": choose one with " + choices,
                    kExitUsage);
    return ours.front();
}

}  // namespace

Expected<BoundScript> BindSettings(const std::string &text, const ScriptObject *object,
                                   const std::string &filterName, int instance,
                                   const std::string &source) {
    const SettingsParse parse = ParseSettings(text);
    if (!AddsFilters(parse)) {
        if (instance > 0)
            return Fail("--instance " + std::to_string(instance) + ": " + source +
                            " adds no filters to choose from",
                        kExitUsage);
        Expected<std::vector<BoundCall>> calls = BindScript(text, object, source);
        if (!calls)
            return calls.failure();
        return BoundScript{std::move(*calls), {}};
    }
    if (!parse.errors.empty()) {
        const ScriptError &error = parse.errors.front();
        return Fail(Where(source, error.line, error.column) + error.what);
    }
    Expected<std::vector<ChainEntry>> chain = FollowChain(parse, source);
    if (!chain)
        return chain.failure();
    Expected<size_t> chosen = ChooseInstance(*chain, filterName, instance, source);
    if (!chosen)
        return chosen.failure();

    BoundScript bound;
    std::vector<size_t> others;
    for (size_t k = 0; k < chain->size(); ++k)
        if (k != *chosen)
            others.push_back(k);
    if (!others.empty()) {
        std::string names;
        for (size_t k : others)
            names += (names.empty() ? "" : ", ") + InstanceName(k) + " " + Quoted((*chain)[k].name);
        bound.notes.push_back(source + ": not running the other filters of the chain: " + names);
    }
    for (const SettingsStatement *s : (*chain)[*chosen].calls) {
        if (!IsFilterFunction(object, s->function)) {
            bound.notes.push_back(source + " line " + std::to_string(s->line) + ": not running " +
                                  s->text + ": the host applies it, not the filter");
            continue;
        }
        ScriptCall call;
        call.line = s->line;
        call.functionColumn = s->functionColumn;
        call.function = s->function;
        for (const SettingsValue &argument : s->arguments) {
            if (argument.kind != SettingsValue::Integer)
                return Fail(Where(source, s->line, argument.column) + "expected an integer for " +
                            "argument " + std::to_string(call.arguments.size() + 1) + " of " +
                            s->function + " (this host passes integers only), found " +
                            (argument.kind == SettingsValue::Text ? Quoted(argument.text)
                                                                  : argument.text));
            call.arguments.push_back(argument.integer);
        }
        Expected<BoundCall> one = BindScriptCall(call, object, source);
        if (!one)
            return one.failure();
        bound.calls.push_back(std::move(*one));
    }
    return bound;
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
