#include "script_binding.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> received;
int calls = 0;

void VDX_CDECL Record(IScriptInterpreter *, void *, const ScriptValue *argv, int argc) {
    ++calls;
    received.clear();
    for (int k = 0; k < argc; ++k) {
        EXPECT_EQ(argv[k].type, kScriptInt);
        received.push_back(argv[k].u.i);
    }
}

ScriptFunctionDef functions[] = {
    {Record, "Pair", "0ii"},
    {Record, "Over", "0i"},
    {Record, "Over", "0iii"},
    {Record, "Text", "0s"},
    {Record, "Result", "ii"},
    {nullptr, nullptr, nullptr},
};
ScriptObject object = {nullptr, functions, nullptr};

std::string ErrorOf(const std::string &text, const ScriptObject *target = &object) {
    Expected<std::vector<BoundCall>> bound = BindScript(text, target, "test.txt");
    EXPECT_FALSE(bound.ok()) << text;
    return bound.ok() ? "" : bound.failure().message;
}

TEST(ScriptBinding, BuildsIntegerValuesForTheMatchingFunction) {
    Expected<std::vector<BoundCall>> bound =
        BindScript("Pair(-5, 2147483647)\nOver(1, 2, 3)\nOver(9)", &object, "test.txt");
    ASSERT_TRUE(bound.ok()) << bound.failure().message;
    ASSERT_EQ(bound->size(), 3u);
    calls = 0;
    for (const BoundCall &call : *bound)
        call.function(nullptr, nullptr, call.arguments.data(), int(call.arguments.size()));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(received, (std::vector<int>{9}));
    EXPECT_EQ((*bound)[0].arguments[0].u.i, -5);
    EXPECT_EQ((*bound)[1].arguments.size(), 3u);
}

TEST(ScriptBinding, RefusesCallsThatDoNotMatchASignature) {
    EXPECT_EQ(ErrorOf("Pair(1)"),
              "test.txt line 1, column 1: expected arguments matching Pair's signature \"0ii\" "
              "(this host passes integers only, one 'i' each), found 1 integer");
    EXPECT_NE(ErrorOf("  Over(1, 2)").find("column 3: expected arguments matching Over's "
                                         "signature \"0i\" or \"0iii\""),
              std::string::npos);
    EXPECT_NE(ErrorOf("Text(1)").find("signature \"0s\""), std::string::npos);
    EXPECT_NE(ErrorOf("Result(1)").find("signature \"ii\""), std::string::npos);
    EXPECT_EQ(ErrorOf("Missing(1)"), "test.txt line 1, column 1: expected the name of a script "
                                     "function of the filter, found Missing");
    EXPECT_NE(ErrorOf("Pair(1, 2)", nullptr).find("the filter has no script functions"),
              std::string::npos);
}

TEST(ScriptBinding, AcceptsOnlyThePathOfTheOneInstance) {
    EXPECT_TRUE(BindScript("VirtualDub.video.filters.instance[0].Pair(1, 2)", &object, "x").ok());
    EXPECT_EQ(ErrorOf("VirtualDub.video.filters.instance[1].Pair(1, 2)"),
              "test.txt line 1, column 1: expected the object VirtualDub.video.filters.instance[0] "
              "(the one filter instance), found VirtualDub.video.filters.instance[1]");
    EXPECT_NE(ErrorOf("other.Pair(1, 2)").find("found other"), std::string::npos);
}

TEST(ScriptBinding, ReportsTheFirstBadLineWhicheverStageFindsIt) {
    // Line 2 fails to bind and line 3 fails to parse: line 2 is reported.
    EXPECT_NE(ErrorOf("Pair(1, 2)\nPair(1)\nPair(\n").find("line 2, column 1"), std::string::npos);
    // Line 2 fails to parse and line 3 fails to bind: line 2 is reported.
    EXPECT_NE(ErrorOf("Pair(1, 2)\nPair(1 2)\nNope()\n").find("line 2, column 8"),
              std::string::npos);
    EXPECT_EQ(ErrorOf("# nothing here\n\n"),
              "test.txt: expected a call such as Config(...), found no call");
}

}  // namespace
