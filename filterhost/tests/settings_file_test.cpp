#include "settings_file.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> received;

void VDX_CDECL Record(IScriptInterpreter *, void *, const ScriptValue *argv, int argc) {
    for (int k = 0; k < argc; ++k)
        received.push_back(argv[k].u.i);
}

ScriptFunctionDef functions[] = {{Record, "Config", "0ii"}, {nullptr, nullptr, nullptr}};
ScriptObject object = {nullptr, functions, nullptr};

const std::string kChain = "VirtualDub.video.filters.";

// What a text binds to: the arguments of the calls in order, the notes, or the error.
struct Outcome {
    std::vector<int> arguments;
    std::vector<std::string> notes;
    std::string error;
};

Outcome Bind(const std::string &text, int instance) {
    Expected<BoundScript> bound = BindSettings(text, &object, "Ours", instance, "f.vcf");
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

TEST(SettingsFile, RunsTheCallsOfTheInstanceThatAddsTheFilter) {
    const std::string saved =
        "VirtualDub.audio.SetMode(0);\r\n"
        "VirtualDub.Open(U\"C:\\\\clips\\\\a \\\"b\\\".avi\", \"\", 0);  // opened file\r\n"
        "VirtualDub.video.SetCompression(0x64697678,0,10000,0); VirtualDub.video.SetDepth(24, 24);\n"
        "declare x; x = VirtualDub.video.GetDepth(1.5e2);\n" +
        kChain + "Clear();\n" +
        kChain + "Add(\"null transform\");\n" +
        kChain + "instance[0].SetClipping(8,0,8,0);\n" +
        kChain + "Add(\"Ours\");\n" +
        kChain + "instance[1].Config(-3, 0xFFFFFFFF);\n" +
        kChain + "instance[1].SetClipping(1,2,3,4);\n" +
        kChain + "instance[1].Config(5, 6)\n" +
        kChain + "Add(\"Ours\");\n" +
        kChain + "instance[2].Config(7, 8);\n";
    struct Case {
        std::string text;
        int instance;
        Outcome expected;
    } cases[] = {
        {saved, 1, {{-3, -1, 5, 6},
                    {"f.vcf: not running the other filters of the chain: instance[0] \"null "
                     "transform\", instance[2] \"Ours\"",
                     "f.vcf line 10: not running VirtualDub.video.filters.instance[1]"
                     ".SetClipping(1,2,3,4): the host applies it, not the filter"}, ""}},
        {saved, 2, {{7, 8}, {"f.vcf: not running the other filters of the chain: instance[0] "
                              "\"null transform\", instance[1] \"Ours\""}, ""}},
        {saved, -1, {{}, {}, "f.vcf adds \"Ours\" 2 times, as instance[1] and instance[2]: "
                             "choose one with --instance 1 or --instance 2"}},
        {saved, 0, {{}, {}, "--instance 0: instance[0] of f.vcf is \"null transform\"; "
                            "choose --instance 1 or --instance 2"}},
        // Clear starts the chain anew; the calls before it are gone with their filters.
        {kChain + "Add(\"Ours\")\n" + kChain + "instance[0].Config(1, 1)\n" + kChain +
             "Clear()\n" + kChain + "Add(\"Ours\")\n" + kChain + "instance[0].Config(2, 2)",
         -1, {{2, 2}, {}, ""}},
        // Text that adds no filter is the plain form: calls on the one instance.
        {"Config(1, 2)\nVirtualDub.video.filters.instance[0].Config(3, 4);", -1,
         {{1, 2, 3, 4}, {}, ""}},
        {"Config(1, 2)", 1, {{}, {}, "--instance 1: f.vcf adds no filters to choose from"}},
        {kChain + "Add(\"Other\");", -1,
         {{}, {}, "f.vcf adds no filter named \"Ours\" (it adds \"Other\")"}},
        {kChain + "Add(\"Ours\");\n" + kChain + "instance[1].Config(1, 2);", -1,
         {{}, {}, "f.vcf line 2, column 1: expected an instance below 1 (the filters added so "
                  "far), found instance[1]"}},
        {kChain + "Add(\"Ours\");\n" + kChain + "instance[0].Config(1, \"2\");", -1,
         {{}, {}, "f.vcf line 2, column 48: expected an integer for argument 2 of Config (this "
                  "host passes integers only), found \"2\""}},
        {kChain + "Add(\"Ours\");\n" + kChain + "instance[0].Config(1, 2, 3);", -1,
         {{}, {}, "f.vcf line 2, column 38: expected arguments matching Config's signature"
                  " \"0ii\" (this host passes integers only, one 'i' each), found 3 integers"}},
        {kChain + "Add(Ours);", -1,
         {{}, {}, "f.vcf line 1, column 26: expected Add(\"filter name\"), found "
                  "VirtualDub.video.filters.Add(Ours)"}},
        // Syntax errors anywhere in a settings file, also in lines for the host.
        {kChain + "Add(\"Ours\");\nVirtualDub.audio.SetSource(\"a.wav);", -1,
         {{}, {}, "f.vcf line 2, column 28: the string that starts at column 28 has no "
                  "closing '\"' on its line"}},
        {kChain + "Add(\"Ours\");\nVirtualDub.video.SetRange(0 1);", -1,
         {{}, {}, "f.vcf line 2, column 29: expected ',' or ')' after argument 1, found '1'"}},
        {kChain + "Add(\"Ours\") x", -1,
         {{}, {}, "f.vcf line 1, column 38: expected ';' or the end of the line after the "
                  "statement, found 'x'"}},
        {kChain + "Add(\"Ours\");\nVirtualDub.video.SetRange(0x123456789);", -1,
         {{}, {}, "f.vcf line 2, column 27: the number 0x123456789 is outside the 32-bit "
                  "integer range"}},
    };
    for (const Case &c : cases) {
        const Outcome outcome = Bind(c.text, c.instance);
        EXPECT_EQ(outcome.error, c.expected.error) << c.text;
        EXPECT_EQ(outcome.arguments, c.expected.arguments) << c.text;
        EXPECT_EQ(outcome.notes, c.expected.notes) << c.text;
    }
}

TEST(SettingsFile, WritesAFileThatReadsBackToTheCall) {
    const std::string text = SettingsFileText("Ours", "Config(9, -9)");
    EXPECT_EQ(text, "VirtualDub.video.filters.Clear();\nVirtualDub.video.filters.Add(\"Ours\");\n"
                    "VirtualDub.video.filters.instance[0].Config(9, -9);\n");
    EXPECT_EQ(Bind(text, -1).arguments, (std::vector<int>{9, -9}));
    // A name with quotes and backslashes is escaped so that it reads back as itself.
    const std::string name = "a \"b\" \\c";
    EXPECT_TRUE(BindSettings(SettingsFileText(name, "Config(1, 2)"), &object, name, -1, "f").ok());
}

}  // namespace
