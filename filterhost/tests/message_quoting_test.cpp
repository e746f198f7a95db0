// What filterhost's messages quote of a script, a settings file or a file name is shown
// escaped, so that it can neither break the message's line nor move, recolour or clear the
// user's terminal (the --video and --suggest routes are in video_file_test.sh and
// suggest_command_test.sh).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host_process.h"

namespace filterhost {
namespace {

// One line, "filterhost: ..." with `part` in it, and no control character before the line end.
void ExpectQuotedError(const HostRun &run, const std::string &part) {
    EXPECT_EQ(run.exitCode, 1) << run.err;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.rfind("filterhost: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_TRUE(std::none_of(run.err.begin(), run.err.end() - 1, [](char c) {
        return (c >= 0 && c < 0x20) || c == 0x7F;
    })) << run.err;
    EXPECT_NE(run.err.find(part), std::string::npos) << "expected '" << part << "' in " << run.err;
}

TEST(FilterHost, QuotesOutsideTextWhereverItComesFrom) {
    const std::string dir = WorkFolder("quoting");
    const std::string chain = "VirtualDub.video.filters.";
    struct Kind {
        std::string bytes, inScript, shown;  // the script spells a line end as \n
    } kinds[] = {
        {"\r\r", "\r\r", "\\r\\r"},
        {"\n", "\\n", "\\n"},
        {"\t", "\t", "\\t"},
        {"\x1B[2J", "\x1B[2J", "\\e[2J"},
        {"\x07", "\x07", "\\x07"},
        {"\x7F", "\x7F", "\\x7F"},
        {"\xC2\x9B[2J", "\xC2\x9B[2J", "\\xC2\\x9B[2J"},  // the C1 form of ESC [
        {"\xFF\xFE", "\xFF\xFE", "\\xFF\\xFE"},
    };
    for (const Kind &k : kinds) {
        const std::string call = "Config(\"a" + k.inScript + "b\")";
        WriteFile(dir + "/calls.txt", call + "\n");
        WriteFile(dir + "/saved.vcf",
                  chain + "Clear();\n" + chain + "Add(\"a" + k.inScript + "b\");\n");
        const std::string found = "found \"a" + k.shown + "b\"";
        const std::string named = dir + "/a" + k.shown + "b";
        struct Route {
            std::vector<std::string> arguments;
            std::string message;
        } routes[] = {
            {{"--config", call, "--save-script"}, found},
            {{"--script", dir + "/calls.txt", "--save-script"}, found},
            {{"--script", dir + "/saved.vcf", "--save-script"},
             "adds no filter named \"Kantora - 2.31\" (it adds \"a" + k.shown + "b\")"},
            {{"--script", dir + "/a" + k.bytes + "b", "--save-script"},
             "cannot open script " + named + ": "},
            {{"--size", "4x4", dir + "/a" + k.bytes + "b"}, "cannot read " + named + ": "},
        };
        for (Route &route : routes) {
            route.arguments.insert(route.arguments.begin(), {"--plugin", KANTORA_PLUGIN_PATH});
            ExpectQuotedError(RunFilterHost(route.arguments), route.message);
        }
    }
}

}  // namespace
}  // namespace filterhost
