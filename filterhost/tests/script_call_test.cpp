#include "script_call.h"

#include <gtest/gtest.h>

namespace {

ScriptCall OnlyCall(const std::string &text) {
    ScriptParse parse = ParseScript(text);
    EXPECT_TRUE(parse.errors.empty()) << (parse.errors.empty() ? "" : parse.errors[0].what);
    EXPECT_EQ(parse.calls.size(), 1u) << text;
    return parse.calls.empty() ? ScriptCall{} : parse.calls[0];
}

ScriptError OnlyError(const std::string &text) {
    ScriptParse parse = ParseScript(text);
    EXPECT_TRUE(parse.calls.empty()) << text;
    EXPECT_EQ(parse.errors.size(), 1u) << text;
    return parse.errors.empty() ? ScriptError{} : parse.errors[0];
}

TEST(ScriptCall, ReadsTheCallsTheHostWrites) {
    ScriptCall call = OnlyCall("Config(1, 2, -3, +4, 0)");
    EXPECT_EQ(call.function, "Config");
    EXPECT_EQ(call.arguments, (std::vector<int32_t>{1, 2, -3, 4, 0}));
    EXPECT_TRUE(call.objectPath.empty());
    EXPECT_EQ(call.functionColumn, 1);

    call = OnlyCall("  VirtualDub.video.filters.instance[0].Config(7);  # restored  ");
    EXPECT_EQ(call.objectPath, "VirtualDub.video.filters.instance[0]");
    EXPECT_EQ(call.objectColumn, 3);
    EXPECT_EQ(call.functionColumn, 40);
    EXPECT_EQ(call.arguments, (std::vector<int32_t>{7}));

    EXPECT_TRUE(OnlyCall("\tf ( ) ;").arguments.empty());
    EXPECT_EQ(OnlyCall("f(\t12 ,-0 )").arguments, (std::vector<int32_t>{12, 0}));
}

TEST(ScriptCall, KeepsTheWholeThirtyTwoBitRangeAndRefusesBeyondIt) {
    EXPECT_EQ(OnlyCall("f(2147483647, -2147483648, 000000000000000000012)").arguments,
              (std::vector<int32_t>{INT32_MAX, INT32_MIN, 12}));
    for (const char *text : {"f(2147483648)", "f(-2147483649)", "f(4294967296)",
                             "f(99999999999999999999999999999)"}) {
        ScriptError error = OnlyError(text);
        EXPECT_EQ(error.column, 3) << text;
        EXPECT_NE(error.what.find("outside the 32-bit integer range"), std::string::npos)
            << error.what;
    }
}

TEST(ScriptCall, SkipsBlankAndCommentLinesAndCountsLinesAcrossLineEnds) {
    ScriptParse parse = ParseScript("# settings\r\n\r\n   \nA(1)\r\n  # more\nB(2);\n");
    ASSERT_TRUE(parse.errors.empty());
    ASSERT_EQ(parse.calls.size(), 2u);
    EXPECT_EQ(parse.calls[0].function, "A");
    EXPECT_EQ(parse.calls[0].line, 4);
    EXPECT_EQ(parse.calls[1].function, "B");
    EXPECT_EQ(parse.calls[1].line, 6);
    EXPECT_TRUE(ParseScript("").calls.empty());
    EXPECT_TRUE(ParseScript("").errors.empty());
}

TEST(ScriptCall, NamesTheLineColumnAndWhatWasExpected) {
    struct Case {
        const char *text;
        int column;
        const char *what;
    } cases[] = {
        {"Config(1, 2", 12, "expected ',' or ')' after argument 2, found the end of the line"},
        {"Config(1,, 2)", 10, "expected an integer for argument 2, found ','"},
        {"Config(1 2)", 10, "expected ',' or ')' after argument 1, found '2'"},
        {"Config(1, x)", 11, "expected an integer for argument 2, found 'x'"},
        {"Config(1, 0x10)", 12, "expected ',' or ')' after argument 2, found 'x'"},
        {"Config(-)", 9, "expected an integer for argument 1, found ')'"},
        {"Config(1.5)", 9, "expected ',' or ')' after argument 1, found '.'"},
        {"Config 1", 8, "expected '(' after the function name, found '1'"},
        {"Config(1) x", 11, "expected the end of the line after the call, found 'x'"},
        {"Config(1);;", 11, "expected the end of the line after the call, found ';'"},
        {"1Config(1)", 1, "expected a function name such as Config, found '1'"},
        {"a..Config(1)", 3, "expected a name after '.', found '.'"},
        {"a[0]Config(1)", 5, "expected '.' after ']', found 'C'"},
        {"a[x].Config(1)", 3, "expected an index after '[', found 'x'"},
        {"Config(1\x01)", 9, "expected ',' or ')' after argument 1, found byte 0x01"},
    };
    for (const Case &c : cases) {
        ScriptError error = OnlyError(c.text);
        EXPECT_EQ(error.line, 1) << c.text;
        EXPECT_EQ(error.column, c.column) << c.text;
        EXPECT_EQ(error.what, c.what) << c.text;
    }
}

TEST(ScriptCall, ReportsEachBadLineAndKeepsTheGoodOnes) {
    ScriptParse parse = ParseScript("A(1)\nB(\nC(3)\nD(4\n");
    ASSERT_EQ(parse.calls.size(), 2u);
    EXPECT_EQ(parse.calls[1].function, "C");
    ASSERT_EQ(parse.errors.size(), 2u);
    EXPECT_EQ(parse.errors[0].line, 2);
    EXPECT_EQ(parse.errors[1].line, 4);
    EXPECT_EQ(parse.errors[1].column, 4);
}

}  // namespace
