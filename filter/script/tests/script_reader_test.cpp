// The host's one reader of script text: single calls, call lines and whole settings files.
#include "script_binding.h"
#include "script_parser.h"

#include <gtest/gtest.h>

namespace kantora {
namespace {

std::vector<int> received;

void VDX_CDECL Record(IScriptInterpreter *, void *, const ScriptValue *argv, int argc) {
    for (int k = 0; k < argc; ++k) {
        EXPECT_EQ(argv[k].type, kScriptInt);
        received.push_back(argv[k].u.i);
    }
}

ScriptFunctionDef functions[] = {
    {Record, "Config", "0ii"}, {Record, "Over", "0i"},   {Record, "Over", "0iii"},
    {Record, "Text", "0s"},    {Record, "Result", "ii"}, {nullptr, nullptr, nullptr},
};
ScriptObject object = {nullptr, functions, nullptr};

const std::string kChain = "VirtualDub.video.filters.";

// What a text binds to: the arguments of the calls in order, the notes, or the error.
struct Outcome {
    std::vector<int> arguments;
    std::vector<std::string> notes;
    std::string error;
};

Outcome Bind(const std::string &text, int instance = -1, const ScriptObject *target = &object) {
    Expected<BoundScript> bound = BindScript(text, target, "Ours", instance, "f.vcf");
    Outcome outcome;
    if (!bound) {
        outcome.error = bound.failure().message;
        return outcome;
    }
    received.clear();
    for (const BoundCall &call : bound->calls)
        call.function(nullptr, nullptr, call.arguments.data(), int(call.arguments.size()));
    outcome.arguments = received;
    outcome.notes = bound->notes;
    return outcome;
}

TEST(ScriptReader, ReadsCallsOnTheOneInstance) {
    struct Case {
        std::string text;
        std::vector<int> arguments;
    } cases[] = {
        {"Config(1, -3)", {1, -3}},
        {"  VirtualDub.video.filters.instance[0].Config(7, +4);  # restored  ", {7, 4}},
        {"\tConfig ( 12 ,-0 ) ;", {12, 0}},
        {"Config(2147483647, -2147483648)", {INT32_MAX, INT32_MIN}},
        {"Config(000000000000000000012, 0x10)", {12, 16}},
        {"Config(0xFFFFFFFF, -0x1)  // a note", {-1, -1}},
        {"\xEF\xBB\xBF# settings\r\n\r\n   \nConfig(1, 2)\r\n  # more\nOver(3);\n", {1, 2, 3}},
        {"Config(1, 2); Over(9, 8, 7)", {1, 2, 9, 8, 7}},
        {"Config(1, 2);;", {1, 2}},
    };
    for (const Case &c : cases) {
        const Outcome outcome = Bind(c.text);
        EXPECT_EQ(outcome.error, "") << c.text;
        EXPECT_EQ(outcome.arguments, c.arguments) << c.text;
        EXPECT_TRUE(outcome.notes.empty()) << c.text;
    }
}

// Errors name the line and column of the first thing wrong, whether the parser or the binding
// finds it.
TEST(ScriptReader, RefusesBadTextAtItsLineAndColumn) {
    struct Case {
        std::string text;
        std::string error;
    } cases[] = {
        {"Config(1, 2",
         "line 1, column 12: expected ',' or ')' after argument 2, found the end of the line"},
        {"Config(1,, 2)", "line 1, column 10: expected a name, a number or a string, found ','"},
        {"Config(1 2)", "line 1, column 10: expected ',' or ')' after argument 1, found '2'"},
        {"Config(-)", "line 1, column 9: expected a name, a number or a string, found ')'"},
        {"Config 1",
         "line 1, column 8: expected ';' or the end of the line after the statement, found '1'"},
        {"Config(1) x",
         "line 1, column 11: expected ';' or the end of the line after the statement, found 'x'"},
        {"a..Config(1)", "line 1, column 3: expected a name after '.', found '.'"},
        // What the text holds is quoted: control characters and bytes that are not UTF-8
        // escaped, long text cut.
        {"Config(1\x01)", "line 1, column 9: expected ',' or ')' after argument 1, found '\\x01'"},
        {"Config(1\r)", "found '\\r'"},
        {"Config(1 \xC3\xA9)", "found '\xC3\xA9'"},
        {"Config(1 \xC3)", "found '\\xC3'"},
        {"Config(1 \xC2\x9B)", "found '\\xC2\\x9B'"},
        {"Config(1, \"a\rb\\x1B[2J\")", "found \"a\\rb\\e[2J\""},
        {"Config(-\t2147483649, 1)", "the number -\\t2147483649 is outside"},
        {"x = \"\x7F" + std::string(100, 'y') + "\"",
         "found x = \"\\x7F" + std::string(74, 'y') + "..."},
        {"Config(0x)", "line 1, column 10: expected hexadecimal digits after 0x, found ')'"},
        {"Config(2147483648, 1)",
         "line 1, column 8: the number 2147483648 is outside the 32-bit integer range"},
        {"Config(1, -2147483649)",
         "line 1, column 11: the number -2147483649 is outside the 32-bit integer range"},
        {"Config(99999999999999999999999999999, 1)",
         "line 1, column 8: the number 99999999999999999999999999999 is outside"},
        {"Config(0x123456789, 1)",
         "line 1, column 8: the number 0x123456789 is outside the 32-bit integer range"},
        {"Config(\"a, 1)",
         "line 1, column 8: the string that starts at column 8 has no closing '\"' on its line"},
        {"Config(1.5, 2)", "line 1, column 8: expected an integer for argument 1 of Config (this "
                           "host passes integers only), found 1.5"},
        {"Config(1, x)", "line 1, column 11: expected an integer for argument 2 of Config (this "
                         "host passes integers only), found x"},
        {"Config(1, \"2\")", "line 1, column 11: expected an integer for argument 2 of Config "
                             "(this host passes integers only), found \"2\""},
        {"x = 1", "line 1, column 1: expected a call such as Config(...), found x = 1"},
        // Calls with too few or too many numbers, whatever the function.
        {"Config(1)", "line 1, column 1: Config takes 2 whole numbers; this one has 1"},
        {"Config()", "line 1, column 1: Config takes 2 whole numbers; this one has none"},
        {"  Over(1, 2)", "line 1, column 3: Over takes 1 or 3 whole numbers; this one has 2"},
        {"Text(1)", "signature \"0s\""},
        {"Result(1)", "signature \"ii\""},
        {"Missing(1)",
         "line 1, column 1: expected the name of a script function of the filter, found Missing"},
        {"VirtualDub.video.filters.instance[1].Config(1, 2)",
         "line 1, column 1: expected the object VirtualDub.video.filters.instance[0] (the one "
         "filter instance), found VirtualDub.video.filters.instance[1]"},
        {"other.Config(1, 2)", "found other"},
        // Line 2 fails to bind and line 3 to parse, then the other way round.
        {"Config(1, 2)\nConfig(1)\nConfig(\n", "line 2, column 1: Config takes 2"},
        {"Config(1, 2)\nConfig(1 2)\nNope()\n", "line 2, column 10: expected ',' or ')'"},
        {"A(1); B(",
         "line 1, column 9: expected a name, a number or a string, found the end of the line"},
        {"# nothing here\n\n", "f.vcf: expected a call such as Config(...), found no call"},
        {"", "f.vcf: expected a call such as Config(...), found no call"},
    };
    for (const Case &c : cases) {
        const Outcome outcome = Bind(c.text);
        EXPECT_NE(outcome.error.find(c.error), std::string::npos)
            << c.text << "\n  gave: " << outcome.error << "\n  not: " << c.error;
        EXPECT_TRUE(outcome.arguments.empty()) << c.text;
    }
    EXPECT_NE(Bind("Config(1, 2)", -1, nullptr).error.find("the filter has no script functions"),
              std::string::npos);
}

// The parser keeps going after a bad line, so that every line's first error is known.
TEST(ScriptReader, ReportsEachBadLineAndKeepsTheGoodOnes) {
    const ParsedScript parsed = ParseScript("A(1)\nB(\nC(\"3)\nD(4\nF(0x)");
    ASSERT_EQ(parsed.statements.size(), 1u);
    EXPECT_EQ(parsed.statements[0].function, "A");
    ASSERT_EQ(parsed.errors.size(), 4u);
    const int lines[] = {2, 3, 4, 5}, columns[] = {3, 3, 4, 5};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(parsed.errors[size_t(k)].line, lines[k]);
        EXPECT_EQ(parsed.errors[size_t(k)].column, columns[k]);
    }
}

TEST(ScriptReader, RunsTheCallsOfTheInstanceThatAddsTheFilter) {
    const std::string saved =
        "VirtualDub.audio.SetMode(0);\r\n"
        "VirtualDub.Open(U\"C:\\\\clips\\\\a \\\"b\\\".avi\", \"\", 0);  // opened file\r\n"
        "VirtualDub.video.SetCompression(0x64697678,0,10000,0); VirtualDub.video.SetDepth(24, "
        "24);\n"
        "declare x; x = VirtualDub.video.GetDepth(1.5e2);\n" +
        kChain + "Clear();\n" + kChain + "Add(\"null transform\");\n" + kChain +
        "instance[0].SetClipping(8,0,8,0);\n" + kChain + "Add(\"Ours\");\n" + kChain +
        "instance[1].Config(-3, 0xFFFFFFFF);\n" + kChain + "instance[1].SetClipping(1,2,3,4);\n" +
        kChain + "instance[1].Config(5, 6)\n" + kChain + "Add(\"Ours\");\n" + kChain +
        "instance[2].Config(7, 8);\n";
    struct Case {
        std::string text;
        int instance;
        Outcome expected;
    } cases[] = {
        {saved,
         1,
         {{-3, -1, 5, 6},
          {"f.vcf: not running the other filters of the chain: instance[0] \"null "
           "transform\", instance[2] \"Ours\"",
           "f.vcf line 10: not running VirtualDub.video.filters.instance[1]"
           ".SetClipping(1,2,3,4): the host applies it, not the filter"},
          ""}},
        {saved,
         2,
         {{7, 8},
          {"f.vcf: not running the other filters of the chain: instance[0] "
           "\"null transform\", instance[1] \"Ours\""},
          ""}},
        {saved,
         -1,
         {{},
          {},
          "f.vcf adds \"Ours\" 2 times, as instance[1] and instance[2]: "
          "choose one with --instance 1 or --instance 2"}},
        {saved,
         0,
         {{},
          {},
          "--instance 0: instance[0] of f.vcf is \"null transform\"; "
          "choose --instance 1 or --instance 2"}},
        // Clear starts the chain anew; the calls before it are gone with their filters.
        {kChain + "Add(\"Ours\")\n" + kChain + "instance[0].Config(1, 1)\n" + kChain + "Clear()\n" +
             kChain + "Add(\"Ours\")\n" + kChain + "instance[0].Config(2, 2)",
         -1,
         {{2, 2}, {}, ""}},
        {"Config(1, 2)", 1, {{}, {}, "--instance 1: f.vcf adds no filters to choose from"}},
        {kChain + "Add(\"Other\");",
         -1,
         {{}, {}, "f.vcf adds no filter named \"Ours\" (it adds \"Other\")"}},
        {kChain + "Add(\"\x1B[31mOurs\\n\");",
         -1,
         {{}, {}, "f.vcf adds no filter named \"Ours\" (it adds \"\\e[31mOurs\\n\")"}},
        {kChain + "Add(\"Ours\");\n" + kChain + "instance[1].Config(1, 2);",
         -1,
         {{},
          {},
          "f.vcf line 2, column 1: expected an instance below 1 (the filters added so "
          "far), found instance[1]"}},
        {kChain + "Add(\"Ours\");\n" + kChain + "instance[0].Config(1, \"2\");",
         -1,
         {{},
          {},
          "f.vcf line 2, column 48: expected an integer for argument 2 of Config (this "
          "host passes integers only), found \"2\""}},
        {kChain + "Add(\"Ours\");\n" + kChain + "instance[0].Config(1, 2, 3);",
         -1,
         {{}, {}, "f.vcf line 2, column 38: Config takes 2 whole numbers; this one has 3"}},
        {kChain + "Add(Ours);",
         -1,
         {{},
          {},
          "f.vcf line 1, column 26: expected Add(\"filter name\"), found "
          "VirtualDub.video.filters.Add(Ours)"}},
        // Syntax errors anywhere in a settings file, also in lines for the host.
        {kChain + "Add(\"Ours\");\nVirtualDub.audio.SetSource(\"a.wav);",
         -1,
         {{},
          {},
          "f.vcf line 2, column 28: the string that starts at column 28 has no "
          "closing '\"' on its line"}},
        {kChain + "Add(\"Ours\");\nVirtualDub.video.SetRange(0 1);",
         -1,
         {{}, {}, "f.vcf line 2, column 29: expected ',' or ')' after argument 1, found '1'"}},
        {kChain + "Add(\"Ours\") x",
         -1,
         {{},
          {},
          "f.vcf line 1, column 38: expected ';' or the end of the line after the "
          "statement, found 'x'"}},
    };
    for (const Case &c : cases) {
        const Outcome outcome = Bind(c.text, c.instance);
        EXPECT_EQ(outcome.error, c.expected.error) << c.text;
        EXPECT_EQ(outcome.arguments, c.expected.arguments) << c.text;
        EXPECT_EQ(outcome.notes, c.expected.notes) << c.text;
    }
}

TEST(ScriptReader, WritesASettingsFileThatReadsBackToTheCall) {
    const std::string text = SettingsFileText("Ours", "Config(9, -9)");
    EXPECT_EQ(text, "VirtualDub.video.filters.Clear();\nVirtualDub.video.filters.Add(\"Ours\");\n"
                    "VirtualDub.video.filters.instance[0].Config(9, -9);\n");
    EXPECT_EQ(Bind(text).arguments, (std::vector<int>{9, -9}));
    // A name with quotes and backslashes is escaped so that it reads back as itself.
    const std::string name = "a \"b\" \\c";
    EXPECT_TRUE(BindScript(SettingsFileText(name, "Config(1, 2)"), &object, name, -1, "f").ok());
}

}  // namespace
}  // namespace kantora
