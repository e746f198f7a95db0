// mensurio-solve's argument forms, outputs and exit statuses, in-process.
#include "solve_cli.h"

#include "size_solver.h"
#include "../../solver/tests/defaults_answer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace mensurio {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string> &args, const std::string &input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunSolveCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

void ExpectUsage(const std::vector<std::string> &args, const std::string &fragment) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("mensurio-solve: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
    // One line.
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST(Positional, PrintsTheTextExactly) {
    const CliRun r = Cli({"704", "576", "640", "480", "16", "16", "0", "6", "0", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kDefaultsAnswer);
    EXPECT_EQ(r.err, "");
}

TEST(Positional, IncorrectValuesGetsALineFeedAndStatusOne) {
    const CliRun r = Cli({"704", "576", "640", "480", "0", "16", "0", "6", "0", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Incorrect values\n");
}

TEST(Positional, EveryValueGoesThrough) {
    for (const auto &v :
         std::vector<std::vector<int>>{{704, 576, 640, 512, 4, 16, 0, 0, 1, 1},
                                       {-704, 576, 640, 480, 16, 16, 9, -1, -1, -1},
                                       {2147483647, -2147483648, 70000, 1, 3, 65536, 7, 2, 5, 1},
                                       {-3, -3, -3, 1, 1, 3, 0, 6, 0, 0}}) {
        std::vector<std::string> args;
        for (int x : v)
            args.push_back(std::to_string(x));
        const std::string expected =
            SolveSizes(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
        const CliRun r = Cli(args);
        EXPECT_EQ(r.out, expected);
        EXPECT_EQ(r.status, 0);
    }
    // A sign is allowed, leading zeros too.
    EXPECT_EQ(Cli({"+704", "0576", "640", "480", "16", "16", "0", "6", "0", "0"}).out,
              kDefaultsAnswer);
}

TEST(Positional, UsageErrors) {
    ExpectUsage({"704", "576", "640", "480", "16", "16", "0", "6", "0", "x"},
                "MODE 'x' is not an integer");
    ExpectUsage({"704", "576", "640", "480", "16", "16", "0", "6", "0", "1.5"},
                "MODE '1.5' is not an integer");
    ExpectUsage({"704", "576", "640", "480", "16", "16", "0", "6", "0", ""},
                "MODE '' is not an integer");
    ExpectUsage({"704", "576", "640", "480", "16", "16", "0", "6", "0", " 1"}, "is not an integer");
    ExpectUsage({"2147483648", "576", "640", "480", "16", "16", "0", "6", "0", "0"},
                "SW '2147483648' is not an integer of 32 bits");
    ExpectUsage({"704", "-2147483649", "640", "480", "16", "16", "0", "6", "0", "0"},
                "SH '-2147483649' is not an integer of 32 bits");
    ExpectUsage({"704", "576", "99999999999999999999999", "480", "16", "16", "0", "6", "0", "0"},
                "of 32 bits");
    ExpectUsage({"704", "576", "640"}, "expected ten integers");
    ExpectUsage({"704", "576", "640", "480", "16", "16", "0", "6", "0", "0", "0"}, "got 11");
    ExpectUsage({"704", "--expand"}, "expected ten integers");
    // The extremes themselves are fine.
    EXPECT_EQ(Cli({"-2147483648", "2147483647", "1", "1", "1", "1", "0", "0", "0", "0"}).status, 0);
}

TEST(Friendly, NoArgumentsGiveTheDefaults) {
    const CliRun r = Cli({});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kDefaultsAnswer);
}

TEST(Friendly, TheExampleOfTheIssue) {
    const CliRun r = Cli({"--source", "704x576", "--from", "pal", "--to", "square", "--width",
                          "640", "--multiple", "16"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kDefaultsAnswer);
    EXPECT_EQ(Cli({"--source=704X576", "--from=0", "--to=6", "--width=640", "--reduce"}).out,
              kDefaultsAnswer);
}

TEST(Friendly, MapsEveryOptionToItsInput) {
    // --height fixes the height and --multiple goes to the width.
    EXPECT_EQ(Cli({"--height", "512", "--multiple", "4", "--expand", "--to", "pal"}).out,
              SolveSizes(704, 576, 640, 512, 4, 16, 0, 0, 1, 1));
    EXPECT_EQ(Cli({"--width", "480", "--multiple", "32", "--from", "sxga", "--to", "ntsc"}).out,
              SolveSizes(704, 576, 480, 480, 16, 32, 7, 1, 0, 0));
    EXPECT_EQ(Cli({"--source", "720x480", "--width", "720", "--height", "400", "--fix", "height",
                   "--width-multiple", "8", "--height-multiple", "2", "--from", "ntsc-wide", "--to",
                   "svcd-ntsc"})
                  .out,
              SolveSizes(720, 480, 720, 400, 8, 2, 3, 5, 1, 0));
    EXPECT_EQ(Cli({"--width", "720", "--height", "400", "--fix", "width", "--multiple", "8"}).out,
              SolveSizes(704, 576, 720, 400, 16, 8, 0, 6, 0, 0));
    // The multiple is resolved after all options: --height after --multiple.
    EXPECT_EQ(Cli({"--multiple", "4", "--height", "512"}).out,
              SolveSizes(704, 576, 640, 512, 4, 16, 0, 6, 1, 0));
    // Negative sizes pass through as in the positional form.
    EXPECT_EQ(Cli({"--source", "-704x-576"}).out,
              SolveSizes(-704, -576, 640, 480, 16, 16, 0, 6, 0, 0));
}

TEST(Friendly, PresetsByNameAliasAndPosition) {
    const char *const names[8] = {"pal",      "ntsc",      "pal-wide", "ntsc-wide",
                                  "svcd-pal", "svcd-ntsc", "square",   "sxga"};
    const char *const aliases[8] = {"standard-pal",    "standard-ntsc", "anamorphic-pal",
                                    "anamorphic-ntsc", "svcd-576",      "svcd-480",
                                    "monitor",         "1280x1024"};
    for (int p = 0; p < 8; ++p) {
        const std::string expected = SolveSizes(704, 576, 640, 480, 16, 16, p, 3, 0, 0);
        EXPECT_EQ(Cli({"--from", names[p], "--to", "3"}).out, expected) << p;
        EXPECT_EQ(Cli({"--from", aliases[p], "--to", "ntsc-wide"}).out, expected) << p;
        EXPECT_EQ(Cli({"--from", std::to_string(p), "--to", "NTSC-Wide"}).out, expected) << p;
    }
    // Positions outside 0..7 are allowed and compute with 1.0.
    EXPECT_EQ(Cli({"--from", "9", "--to", "-1"}).out,
              SolveSizes(704, 576, 640, 480, 16, 16, 9, -1, 0, 0));
}

TEST(Friendly, IncorrectValues) {
    const CliRun r = Cli({"--height-multiple", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Incorrect values\n");
    EXPECT_EQ(Cli({"--source", "0x576"}).status, 1);
}

TEST(Friendly, UsageErrors) {
    ExpectUsage({"--from", "secam"}, "--from: unknown preset 'secam'");
    ExpectUsage({"--from", "palx"}, "unknown preset 'palx' (try --help)\n");
    ExpectUsage({"--to", ""}, "--to: unknown preset ''");
    ExpectUsage({"--width"}, "option --width needs a value");
    ExpectUsage({"--expand", "--from"}, "option --from needs a value");
    ExpectUsage({"--width", "six"}, "--width 'six' is not an integer");
    ExpectUsage({"--width", "4294967296"}, "is not an integer of 32 bits");
    ExpectUsage({"--source", "704"}, "not of the form WIDTHxHEIGHT");
    ExpectUsage({"--source", "704x"}, "--source height '' is not an integer");
    ExpectUsage({"--fix", "diagonal"}, "neither width nor height");
    ExpectUsage({"--width", "720", "--height", "400"}, "--fix width|height");
    ExpectUsage({"--frobnicate"}, "unknown option '--frobnicate'");
    ExpectUsage({"--expand=yes"}, "option --expand takes no value");
    ExpectUsage({"--expand", "704"}, "unexpected number '704'");
    ExpectUsage({"--batch", "--expand"}, "--batch takes no other options");
}

TEST(Help, ListsThePresetsWithTheirCaptions) {
    const CliRun r = Cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (int p = 0; p < 8; ++p)
        EXPECT_NE(r.out.find(std::string("\"") + PixelAspectCaption(p) + "\""), std::string::npos)
            << p;
    for (const char *name : {"pal-wide", "svcd-ntsc", "square", "sxga", "--multiple", "--expand",
                             "--batch", "704x576"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name;
    EXPECT_EQ(Cli({"-h"}).out, r.out);
}

TEST(Batch, OneAnswerAndSeparatorPerLine) {
    const CliRun r = Cli({"--batch"},
                         "704 576 640 480 16 16 0 6 0 0\n"
                         "\n"
                         "   0 576 640 480 16 16 0 6 0 0\r\n"
                         "704\t576 640 512 4 16 0 0 1 1");  // no final line feed
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(kDefaultsAnswer) + "%%\n" + "Incorrect values\n%%\n" +
                         SolveSizes(704, 576, 640, 512, 4, 16, 0, 0, 1, 1) + "%%\n");
    EXPECT_EQ(Cli({"--batch"}, "").out, "");
}

TEST(Batch, BadLineIsAUsageError) {
    const CliRun r = Cli({"--batch"}, "704 576 640 480 16 16 0 6 0 0\n704 576\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, std::string(kDefaultsAnswer) + "%%\n");
    EXPECT_NE(r.err.find("--batch line 2: expected ten integers, got 2"), std::string::npos)
        << r.err;
    const CliRun s = Cli({"--batch"}, "704 576 640 480 16 16 0 6 0 zero\n");
    EXPECT_EQ(s.status, 2);
    EXPECT_NE(s.err.find("--batch line 1: value 'zero' is not an integer"), std::string::npos)
        << s.err;
}

}  // namespace
}  // namespace mensurio
