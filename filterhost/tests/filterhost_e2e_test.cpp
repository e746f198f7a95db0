// filterhost end to end: the real plug-in driven through the command line, its output checked
// against the plain reference repair in filter/tests/border_reference.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "border_reference.h"
#include "host_process.h"
#include "png_bytes.h"
#include "png_files.h"
#include "test_card.h"

namespace filterhost {
namespace {

const std::string kPlugin = KANTORA_PLUGIN_PATH;

using Values = std::array<int32_t, 16>;

std::string ConfigCall(const Values &v) {
    std::string call = "Config(";
    for (size_t k = 0; k < v.size(); ++k)
        call += (k ? ", " : "") + std::to_string(v[k]);
    return call + ")";
}

// Script order: Top, Bottom, Right, Left; within each edge smear, black, fade, stretch.
kantora::BorderSettings SettingsFrom(const Values &v) {
    kantora::BorderSettings s{};
    s.processTopBottomFirst = true;
    s.borderColour = 0;
    const kantora::Side order[] = {kantora::Top, kantora::Bottom, kantora::Right, kantora::Left};
    for (int e = 0; e < 4; ++e) {
        s.smearRegion[order[e]] = v[4 * e + 0];
        s.blackRegion[order[e]] = v[4 * e + 1];
        s.fadeRegion[order[e]] = v[4 * e + 2];
        s.stretchFactor[order[e]] = v[4 * e + 3];
    }
    return s;
}

// Settings inside the filter's bounds for a frame of this size: every smear source in the frame.
Values RandomValues(std::mt19937 &random, int width, int height) {
    Values v{};
    for (int e = 0; e < 4; ++e) {
        const int extent = e < 2 ? height : width;
        auto upTo = [&](int most) { return int32_t(random() % uint32_t(most + 1)); };
        const int32_t smear = upTo(extent / 2);
        v[4 * e + 0] = smear;
        v[4 * e + 1] = upTo(extent / 3);
        v[4 * e + 2] = upTo(extent);
        v[4 * e + 3] = upTo(extent - 1 - smear);
    }
    return v;
}

std::string RandomBytes(std::mt19937 &random, size_t count) {
    std::string bytes(count, '\0');
    for (char &b : bytes)
        b = char(random());
    return bytes;
}

// What the filter should make of top-down B, G, R, X frames.
std::string ExpectedFrames(const std::string &frames, int width, int height, const Values &v) {
    const kantora::BorderSettings settings = SettingsFrom(v);
    const size_t frameBytes = size_t(width) * height * 4;
    std::string result(frames.size(), '\0');
    std::vector<uint32_t> src(size_t(width) * height), dst(src.size());
    for (size_t f = 0; f + frameBytes <= frames.size(); f += frameBytes) {
        for (int y = 0; y < height; ++y)  // memory row y is picture row height - 1 - y
            for (int x = 0; x < width; ++x) {
                const unsigned char *p = reinterpret_cast<const unsigned char *>(
                    &frames[f + (size_t(height - 1 - y) * width + x) * 4]);
                src[size_t(y) * width + x] = p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
            }
        border_reference::ProcessFrame(src.data(), width * 4, dst.data(), width * 4, width, height,
                                       settings);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t pixel = dst[size_t(y) * width + x];
                char *p = &result[f + (size_t(height - 1 - y) * width + x) * 4];
                for (int b = 0; b < 4; ++b)
                    p[b] = char(pixel >> (8 * b));
            }
    }
    return result;
}

// One line, "filterhost: ..." and containing `part`.
void ExpectOneLineError(const HostRun &run, const std::string &part, int exitCode = 1) {
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    EXPECT_EQ(run.err.rfind("filterhost: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(part), std::string::npos) << "expected '" << part << "' in " << run.err;
}

TEST(FilterHost, ListsTheRegisteredFilter) {
    HostRun run = RunFilterHost({"--plugin", kPlugin, "--list"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "name: Kantora - 2.31\ndescription: Improves picture near borders\nmaker: Tessaly\n");
}

TEST(FilterHost, RunsRawFramesLikeTheReferenceThroughFilesAndPipes) {
    std::mt19937 random(2031);
    const std::string dir = WorkFolder("raw");
    for (auto [width, height] : {std::pair{37, 23}, std::pair{1, 1}, std::pair{64, 3}}) {
        const Values v = RandomValues(random, width, height);
        const std::string frames = RandomBytes(random, size_t(width) * height * 4 * 3);
        WriteFile(dir + "/in.raw", frames);
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        const std::string expected = ExpectedFrames(frames, width, height, v);

        HostRun files = RunFilterHost({"--plugin", kPlugin, "--config", ConfigCall(v), "--size",
                                       size, dir + "/in.raw", dir + "/out.raw"});
        EXPECT_EQ(files.exitCode, 0) << files.err;
        EXPECT_TRUE(ReadFile(dir + "/out.raw") == expected) << size << " " << ConfigCall(v);

        // Rows further apart than the picture: the plug-in must step by the pitch.
        HostRun piped = RunFilterHost({"--plugin", kPlugin, "--config", ConfigCall(v), "--size",
                                       size, "--pitch-padding", "12"},
                                      dir + "/in.raw");
        EXPECT_EQ(piped.exitCode, 0) << piped.err;
        EXPECT_TRUE(piped.out == expected) << size << " " << ConfigCall(v);
    }
}

TEST(FilterHost, WritesToAPipeByNameRatherThanReplacingIt) {
    const std::string dir = WorkFolder("fifo");
    WriteFile(dir + "/in.raw", std::string(2 * 2 * 4 * 3, '\x11'));
    const std::string fifo = dir + "/out.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened without waiting for a writer; the frames fit in the pipe's buffer.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    HostRun run = RunFilterHost({"--plugin", kPlugin, "--size", "2x2", dir + "/in.raw", fifo});
    char buffer[4096];
    const ssize_t got = read(reader, buffer, sizeof buffer);
    close(reader);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(std::string(buffer, size_t(std::max<ssize_t>(got, 0))), ReadFile(dir + "/in.raw"));
}

TEST(FilterHost, PassesTheWholeThirtyTwoBitRangeToTheFilter) {
    const Values v = {INT32_MIN, INT32_MAX, -1, 2,         INT32_MAX, 3, INT32_MIN, INT32_MAX,
                      7,         -7,        9,  INT32_MIN, 0,         1, INT32_MAX, -2147483647};
    HostRun saved =
        RunFilterHost({"--plugin", kPlugin, "--config", ConfigCall(v), "--save-script"});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(saved.out, ConfigCall(v) + "\n");
    std::mt19937 random(7);
    const std::string dir = WorkFolder("range");
    const std::string frames = RandomBytes(random, 9 * 8 * 4);
    WriteFile(dir + "/in.raw", frames);
    HostRun run = RunFilterHost({"--plugin", kPlugin, "--config", ConfigCall(v), "--size", "9x8"},
                                dir + "/in.raw");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out == ExpectedFrames(frames, 9, 8, v));
}

TEST(FilterHost, SavedScriptsReadBackToTheSameSettingsAndFrames) {
    std::mt19937 random(42);
    const std::string dir = WorkFolder("roundtrip");
    for (int round = 0; round < 4; ++round) {
        const Values v = RandomValues(random, 31, 29);
        HostRun saved = RunFilterHost(
            {"--plugin", kPlugin, "--config", ConfigCall(v), "--save-script", "--describe"});
        ASSERT_EQ(saved.exitCode, 0) << saved.err;
        const std::string summary = "(Top: " + std::to_string(v[0]) + "," + std::to_string(v[1]) +
                                    "," + std::to_string(v[2]) + ". Bot: " + std::to_string(v[4]) +
                                    "," + std::to_string(v[5]) + "," + std::to_string(v[6]) + ")";
        ASSERT_EQ(saved.out, ConfigCall(v) + "\n" + summary + "\n");

        // The saved line as the host's script file would hold it.
        WriteFile(dir + "/saved.script",
                  "# saved settings\n\nVirtualDub.video.filters.instance[0]." +
                      saved.out.substr(0, saved.out.find('\n')) + ";\n");
        const std::string frames = RandomBytes(random, 31 * 29 * 4 * 2);
        WriteFile(dir + "/in.raw", frames);
        HostRun run = RunFilterHost(
            {"--plugin", kPlugin, "--script", dir + "/saved.script", "--size", "31x29"},
            dir + "/in.raw");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out == ExpectedFrames(frames, 31, 29, v)) << ConfigCall(v);
    }
}

TEST(FilterHost, AppliesScriptLinesAndOptionsInOrder) {
    const std::string dir = WorkFolder("order");
    WriteFile(dir + "/two.script", "Config(1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1)\r\n"
                                   "  # later lines win\r\n"
                                   "Config(2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2) ; # trailing\r\n");
    HostRun run =
        RunFilterHost({"--plugin", kPlugin, "--config", "Config(0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,9)",
                       "--script", dir + "/two.script", "--save-script"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Config(2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2)\n");
    run = RunFilterHost({"--plugin", kPlugin, "--script", dir + "/two.script", "--config",
                         "Config(0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,9)", "--save-script"});
    EXPECT_EQ(run.out, "Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9)\n");
}

TEST(FilterHost, RefusesBadScriptsBeforeAnyFrame) {
    const std::string dir = WorkFolder("badscript");
    WriteFile(dir + "/in.raw", std::string(4 * 4 * 4, '\x40'));
    const std::string good = "Config(0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0)";
    WriteFile(dir + "/bad.script", good + "\n# fine so far\nConfig(1, 2, 3)\n" + good + "\n");
    struct Case {
        std::vector<std::string> script;
        std::string message;
    } cases[] = {
        {{"--config", "Config(1, 2, 3)"},
         "--config line 1, column 1: Config takes 16 whole numbers; this one has 3"},
        {{"--script", dir + "/bad.script"},
         dir + "/bad.script line 3, column 1: Config takes 16 whole numbers; this one has 3"},
        {{"--config", good, "--config", "Config(0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2147483648)"},
         "--config line 1, column 38: the number 2147483648 is outside the 32-bit integer range"},
        {{"--config", "Config(0,0,0,0,0,0,0,0,0,0,0,0,0,0,0 0)"},
         "--config line 1, column 38: expected ',' or ')' after argument 15, found '0'"},
        {{"--config", "Confi(0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0)"},
         "--config line 1, column 1: expected the name of a script function of the filter, "
         "found Confi"},
        {{"--config", "VirtualDub.video.filters.instance[2]." + good},
         "--config line 1, column 1: expected the object VirtualDub.video.filters.instance[0]"},
        {{"--config", ""}, "--config: expected a call such as Config(...), found no call"},
        {{"--script", dir + "/missing.script"}, "cannot open script " + dir + "/missing.script"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> arguments = {"--plugin", kPlugin};
        arguments.insert(arguments.end(), c.script.begin(), c.script.end());
        for (const char *more : {"--size", "4x4"})
            arguments.push_back(more);
        arguments.push_back(dir + "/in.raw");
        arguments.push_back(dir + "/out.raw");
        std::remove((dir + "/out.raw").c_str());
        ExpectOneLineError(RunFilterHost(arguments), c.message);
        EXPECT_EQ(ReadFile(dir + "/out.raw"), "") << "frames were processed: " << c.message;
    }
}

// One reader for every way script text comes in: a call given with --config, a file of calls
// given with --script, and the call as a line of a saved settings file give the same settings,
// or the same error (in a settings file at the line's own place).
TEST(FilterHost, ReadsScriptTextAlikeFromEveryPlace) {
    const std::string dir = WorkFolder("readers");
    const std::string values = "3, 0x10, -2, +4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16";
    const std::string saved = "Config(3, 16, -2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16)\n";
    struct Case {
        std::string text, outcome;  // the saved call, or the error after its column
    } cases[] = {
        {"Config(" + values + ")", saved},
        {"Config(" + values + ");  // a note", saved},
        {"Config(" + values + ")  # a note\r", saved},
        {"Config(" + values + ", 17)", "Config takes 16 whole numbers; this one has 17"},
        {"Config(1.5, " + values.substr(3) + ")", "expected an integer for argument 1 of Config"},
        {"Config(" + values, "expected ',' or ')' after argument 16, found the end of the line"},
    };
    auto outcome = [](const HostRun &run) {
        if (run.exitCode == 0)
            return run.out;
        const size_t column = run.err.find("column ");
        const size_t after = run.err.find(": ", column);
        return column == std::string::npos ? run.err : run.err.substr(after + 2);
    };
    for (const Case &c : cases) {
        WriteFile(dir + "/calls.txt", c.text + "\n");
        WriteFile(dir + "/saved.vcf", "VirtualDub.video.filters.Clear();\n"
                                      "VirtualDub.video.filters.Add(\"Kantora - 2.31\");\n"
                                      "VirtualDub.video.filters.instance[0]." +
                                          c.text + "\n");
        for (const std::vector<std::string> &source : {std::vector<std::string>{"--config", c.text},
                                                       {"--script", dir + "/calls.txt"},
                                                       {"--script", dir + "/saved.vcf"}}) {
            std::vector<std::string> arguments = {"--plugin", kPlugin, "--save-script"};
            arguments.insert(arguments.end(), source.begin(), source.end());
            const std::string got = outcome(RunFilterHost(arguments));
            EXPECT_EQ(got.rfind(c.outcome, 0), 0u) << source[1] << ": " << got;
        }
    }
}

TEST(FilterHost, RefusesWhatIsNotAWorkingPlugin) {
    const std::string dir = WorkFolder("plugins");
    WriteFile(dir + "/text.so", "not a module\n");
    struct Case {
        std::string plugin, message;
    } cases[] = {
        {dir + "/missing.so", "cannot open plug-in " + dir + "/missing.so: "},
        {dir + "/text.so", dir + "/text.so is not a loadable plug-in module: "},
        {FAKE_PLUGIN_NO_ENTRY, std::string(FAKE_PLUGIN_NO_ENTRY) +
                                   " is not a filter plug-in: it does not export "
                                   "VirtualdubFilterModuleInit2"},
        {FAKE_PLUGIN_REGISTERS_NOTHING, "the plug-in registered no filter"},
        {FAKE_PLUGIN_ENTRY_FAILS, "the plug-in's module entry failed (returned 1)"},
    };
    for (const Case &c : cases)
        ExpectOneLineError(RunFilterHost({"--plugin", c.plugin, "--list"}), c.message);
}

TEST(FilterHost, CatchesAFilterThatWritesOutsideItsBuffers) {
    const std::string dir = WorkFolder("sloppy");
    WriteFile(dir + "/in.raw", std::string(5 * 4 * 4, '\x01'));
    ExpectOneLineError(RunFilterHost({"--plugin", FAKE_PLUGIN_SLOPPY, "--size", "5x4",
                                      "--pitch-padding", "8", dir + "/in.raw", dir + "/out.raw"}),
                       "the filter wrote outside the picture, into the row padding, on frame 1");
    ExpectOneLineError(RunFilterHost({"--plugin", FAKE_PLUGIN_SLOPPY, "--save-script"}),
                       "script-string callback wrote past the 256-byte buffer");
}

TEST(FilterHost, ReportsBadFiles) {
    const std::string dir = WorkFolder("files");
    ExpectOneLineError(RunFilterHost({"--plugin", kPlugin, "--size", "4x4", dir + "/none.raw"}),
                       "cannot read " + dir + "/none.raw: No such file or directory");
    WriteFile(dir + "/in.raw", std::string(4 * 4 * 4, '\x10'));
    ExpectOneLineError(RunFilterHost({"--plugin", kPlugin, "--size", "4x4", dir + "/in.raw",
                                      dir + "/no/such/dir/out.raw"}),
                       "cannot write " + dir + "/no/such/dir/out.raw: No such file or directory");
}

// A command line that cannot run as given is refused before anything is loaded or read, in
// one line that says what to give instead, with exit status 2.
TEST(FilterHost, SaysWhatToGiveForACommandLineItCannotRun) {
    const std::string size = "--size needs WIDTHxHEIGHT, each from 1 to 16384, such as 720x576";
    struct Case {
        std::string arguments, message;  // arguments split at spaces
    } cases[] = {
        {"", "nothing to do: give --list, --size, --image, --video, --suggest, --preview, "
             "--configure, --save-script or --describe (see --help)"},
        {"--sise 4x4", "unknown option --sise (did you mean --size? see --help)"},
        {"--frobnicate", "unknown option --frobnicate (see --help)"},
        {"--size", size},
        {"--size 0x5", size + ", not '0x5'"},
        {"--size 16385x2", size + ", not '16385x2'"},
        {"--image in.png", "--image needs an input and an output file"},
        {"--frames many --suggest in.mkv",
         "--frames needs a number of frames from 1 to 100000, not 'many'"},
        {"--pitch-padding 6 --list",
         "--pitch-padding needs a multiple of 4 from 0 to 4096, not '6'"},
        {"--suggest --size 352x288",
         "--suggest needs an input: a video file, a PNG picture, or "
         "raw frames with --size ('-' for standard input), not '--size'"},
        {"--suggest -", "--suggest - reads raw frames from standard input: give their --size"},
        // Each mode's files and options.
        {"--video --config C IN OUT",
         "unexpected argument IN: --video takes its two files right after it (--video IN OUT)"},
        {"--image a.png b.png c.png", "unexpected argument c.png: --image takes its two files "
                                      "right after it (--image IN.png OUT.png)"},
        {"--size 4x4 a b c", "unexpected argument c: --size takes at most an input and an output "
                             "file (--size WxH [IN [OUT]])"},
        {"--suggest a b",
         "unexpected argument b: --suggest takes its input right after it (--suggest IN)"},
        {"--configure in.raw",
         "unexpected argument in.raw: --configure previews a picture or raw "
         "frames (--configure --image IN.png, or --configure --size WxH [IN])"},
        {"--list more", "unexpected argument more: --list takes no file"},
        {"--size 352x288 --frames 3", "--frames goes with --suggest"},
        {"--size 4x4 --codec ffv1", "--codec goes with --video"},
        {"--list --quiet", "--quiet goes with --video and --suggest"},
        {"--describe --vcf", "--vcf goes with --save-script"},
        {"--list --video a b", "--video and --list do different things: choose one (see --help)"},
        {"--suggest a --image b c",
         "--image and --suggest do different things: choose one (see --help)"},
        {"--video a b --preview p.png",
         "--video and --preview do different things: choose one (see --help)"},
        {"--config C --preview p.png", "--preview needs an input to show: --preview P.png IN, "
                                       "or --suggest IN --preview P.png"},
        {"--configure --save-script",
         "--save-script and --configure do different things: choose one (see --help)"},
        {"--configure --image a.png --size 2x2 b",
         "--configure takes at most one picture: --image IN.png or --size WxH [IN]"},
        // The native host has no windows: it names the Windows build to run instead.
        {"--configure --size 2x2", "cmake/wine-run.sh build/win64/filterhost/filterhost.exe "
                                   "--plugin build/win64/filter/Kantora231.vdf --configure"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> arguments = {"--plugin", kPlugin};
        std::istringstream words(c.arguments);
        for (std::string word; words >> word;)
            arguments.push_back(word);
        const HostRun run = RunFilterHost(arguments);
        ExpectOneLineError(run, c.message, 2);
        EXPECT_EQ(run.out, "") << c.arguments;
    }
}

// A stream cut inside its third frame: the two whole frames before the cut are written, to a
// named file (replacing an older one) as to standard output, and the run fails saying where.
TEST(FilterHost, WritesEveryWholeFrameBeforeAnInputCutShort) {
    std::mt19937 random(5);
    const std::string dir = WorkFolder("cut");
    const Values v = RandomValues(random, 37, 29);
    const std::string frames = RandomBytes(random, 37 * 29 * 4 * 2);
    WriteFile(dir + "/in.raw", frames + std::string(7, 'x'));
    const std::vector<std::string> raw = {"--plugin",    kPlugin,  "--config",
                                          ConfigCall(v), "--size", "37x29"};
    const std::string cut = " ends inside frame 3 (7 of 4292 bytes)";
    const std::string kept = "; the 2 frames before it ";

    HostRun piped = RunFilterHost(raw, dir + "/in.raw");
    ExpectOneLineError(piped, "standard input" + cut);
    ExpectOneLineError(piped, kept + "went to standard output");
    EXPECT_TRUE(piped.out == ExpectedFrames(frames, 37, 29, v));

    WriteFile(dir + "/out.raw", "older frames");
    std::vector<std::string> named = raw;
    named.insert(named.end(), {dir + "/in.raw", dir + "/out.raw"});
    HostRun file = RunFilterHost(named);
    ExpectOneLineError(file, dir + "/in.raw" + cut);
    ExpectOneLineError(file, kept + "are in " + dir + "/out.raw");
    EXPECT_TRUE(ReadFile(dir + "/out.raw") == ExpectedFrames(frames, 37, 29, v));
}

TEST(FilterHost, SaysWhenTheScriptCallDoesNotFitTheBuffer) {
    const std::string call = "Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)";
    HostRun exact = RunFilterHost(
        {"--plugin", kPlugin, "--save-script", "--script-buffer", std::to_string(call.size() + 1)});
    EXPECT_EQ(exact.exitCode, 0) << exact.err;
    EXPECT_EQ(exact.out, call + "\n");
    HostRun cut = RunFilterHost(
        {"--plugin", kPlugin, "--save-script", "--script-buffer", std::to_string(call.size())});
    ExpectOneLineError(cut, "filter saved without settings", 3);
    EXPECT_EQ(cut.out, "");
}

TEST(FilterHost, RunsTheFilterOfASavedSettingsFileAndWritesOne) {
    std::mt19937 random(11);
    const std::string dir = WorkFolder("vcf");
    const Values v = RandomValues(random, 12, 10);
    WriteFile(dir + "/saved.vcf", "VirtualDub.audio.SetMode(0);\r\n"
                                  "VirtualDub.video.filters.Clear();\r\n"
                                  "VirtualDub.video.filters.Add(\"null transform\");\r\n"
                                  "VirtualDub.video.filters.instance[0].SetClipping(8,0,8,0);\r\n"
                                  "VirtualDub.video.filters.Add(\"Kantora - 2.31\");\r\n"
                                  "VirtualDub.video.filters.instance[1]." +
                                      ConfigCall(v) + ";\r\n");
    const std::string frames = RandomBytes(random, 12 * 10 * 4 * 2);
    WriteFile(dir + "/in.raw", frames);
    HostRun run = RunFilterHost(
        {"--plugin", kPlugin, "--script", dir + "/saved.vcf", "--size", "12x10"}, dir + "/in.raw");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out == ExpectedFrames(frames, 12, 10, v));
    EXPECT_EQ(run.err, "filterhost: " + dir +
                           "/saved.vcf: not running the other filters of the "
                           "chain: instance[0] \"null transform\"\n");

    HostRun saved = RunFilterHost(
        {"--plugin", kPlugin, "--script", dir + "/saved.vcf", "--save-script", "--vcf"}, "",
        dir + "/again.vcf");
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    HostRun again =
        RunFilterHost({"--plugin", kPlugin, "--script", dir + "/again.vcf", "--save-script"});
    EXPECT_EQ(again.out, ConfigCall(v) + "\n");
    EXPECT_EQ(again.err, "");
}

// Without --plugin: beside the program, in the build tree's filter/, in the installed lib/.
TEST(FilterHost, FindsThePluginWhereItIsBuiltOrInstalled) {
    const std::string dir = WorkFolder("discovery");
    const std::string host = FILTERHOST_PATH;
    const std::string listed = "name: Kantora - 2.31\n";
    auto place = [&](const std::string &program, const std::string &plugin) {
        std::filesystem::create_directories(std::filesystem::path(program).parent_path());
        std::filesystem::copy_file(host, program);
        if (!plugin.empty()) {
            std::filesystem::create_directories(std::filesystem::path(plugin).parent_path());
            std::filesystem::copy_file(kPlugin, plugin);
        }
        return program;
    };
    EXPECT_EQ(RunFilterHost({"--list"}).out.substr(0, listed.size()), listed);
    const std::string installed =
        place(dir + "/usr/bin/filterhost", dir + "/usr/lib/kantora/Kantora231.so");
    EXPECT_EQ(RunFilterHostAt(installed, {"--list"}).out.substr(0, listed.size()), listed);
    const std::string beside = place(dir + "/beside/filterhost", dir + "/beside/Kantora231.so");
    EXPECT_EQ(RunFilterHostAt(beside, {"--list"}).out.substr(0, listed.size()), listed);
    const std::string alone = place(dir + "/alone/filterhost", "");
    ExpectOneLineError(RunFilterHostAt(alone, {"--list"}),
                       "no plug-in given and no Kantora231.so found (looked for " + dir +
                           "/alone/Kantora231.so, " + dir + "/alone/../filter/Kantora231.so, " +
                           dir +
                           "/alone/../lib/kantora/Kantora231.so): name it with --plugin FILE");
    // --plugin still decides.
    ExpectOneLineError(RunFilterHostAt(installed, {"--plugin", dir + "/none.so", "--list"}),
                       "cannot open plug-in " + dir + "/none.so");
}

// --- PNG pictures --------------------------------------------------------------------------

HostBitmap LoadPicture(const std::string &path) {
    Expected<HostBitmap> picture = ReadPng(path);
    EXPECT_TRUE(picture.ok()) << (picture.ok() ? "" : picture.failure().message);
    return picture.ok() ? std::move(*picture) : HostBitmap(1, 1);
}

// The picture as top-down B, G, R, X bytes, the layout of a raw frame.
std::string PictureBytes(const HostBitmap &picture) {
    std::string bytes(size_t(picture.Width()) * size_t(picture.Height()) * 4, '\0');
    picture.StoreTopDown(reinterpret_cast<uint8_t *>(bytes.data()));
    return bytes;
}

TEST(FilterHost, RepairsAPictureLikeTheRawFrames) {
    std::mt19937 random(99);
    const std::string dir = WorkFolder("png");
    std::string bytes = RandomBytes(random, 23 * 17 * 4);
    for (size_t k = 3; k < bytes.size(); k += 4)
        bytes[k] = 0;
    HostBitmap picture(23, 17);
    picture.LoadTopDown(reinterpret_cast<const uint8_t *>(bytes.data()));
    ASSERT_TRUE(WritePng(dir + "/in.png", picture).ok());
    const Values v = RandomValues(random, 23, 17);
    HostRun run = RunFilterHost({"--plugin", kPlugin, "--config", ConfigCall(v), "--image",
                                 dir + "/in.png", dir + "/out.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(PictureBytes(LoadPicture(dir + "/out.png")) == ExpectedFrames(bytes, 23, 17, v));

    // No alpha channel in the file: three channels, 8 bits each (PNG colour type 2).
    const std::string file = ReadFile(dir + "/out.png");
    ASSERT_GT(file.size(), 26u);
    EXPECT_EQ(file.substr(12, 4), "IHDR");
    EXPECT_EQ(int(file[24]), 8);
    EXPECT_EQ(int(file[25]), 2);
}

TEST(FilterHost, RepairsTheTestCard) {
    const std::string dir = WorkFolder("card");
    ASSERT_TRUE(WritePng(dir + "/card.png", MakeTestCard()).ok());
    HostRun run = RunFilterHost({"--plugin", kPlugin, "--image", dir + "/card.png",
                                 dir + "/repaired.png", "--config", kTestCardRepairConfig});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const HostBitmap card = LoadPicture(dir + "/card.png");
    const HostBitmap fixed = LoadPicture(dir + "/repaired.png");
    ASSERT_EQ(fixed.Width(), kTestCardWidth);
    ASSERT_EQ(fixed.Height(), kTestCardHeight);
    auto at = [](const HostBitmap &p, int x, int y) { return p.Row(p.Height() - 1 - y)[x]; };
    const int w = kTestCardWidth, h = kTestCardHeight;
    // The card is damaged where the settings say...
    EXPECT_NE(at(card, 105, 0), at(card, 105, kTestCardTopDamage));
    EXPECT_NE(at(card, 50, h - 1), at(card, 51, h - 1));
    // ...and repaired there: straight black bands below and on the left, smeared picture on
    // top and on the right, and the picture inside untouched.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(at(fixed, x, y), 0u) << x << "," << y;
        for (int x = w - kTestCardRightDamageMax; x < w; ++x)
            ASSERT_EQ(at(fixed, x, y), at(fixed, w - 7, y)) << x << "," << y;
    }
    for (int x = 0; x < w; ++x) {
        for (int y = h - kTestCardBottomDamage; y < h; ++y)
            ASSERT_EQ(at(fixed, x, y), 0u) << x << "," << y;
        if (x >= 10 && x < w - 7) {
            for (int y = 0; y < kTestCardTopDamage; ++y)
                ASSERT_EQ(at(fixed, x, y), at(card, x, kTestCardTopDamage)) << x << "," << y;
        }
    }
    for (int y = kTestCardTopDamage; y < h - 20; ++y)
        for (int x = 10; x < w - kTestCardRightDamageMax; ++x)
            ASSERT_EQ(at(fixed, x, y), at(card, x, y)) << x << "," << y;
}

// Everything in a folder, by name: what a failed run must leave exactly as it was.
std::map<std::string, std::string> FolderContents(const std::string &dir) {
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        files[entry.path().filename().string()] = ReadFile(entry.path().string());
    return files;
}

TEST(FilterHost, RefusesBrokenPicturesAndItsOwnInputAsOutputLosingNoFile) {
    using namespace png_bytes;
    const std::string dir = WorkFolder("refusals");
    const std::string d = dir + "/";
    std::mt19937 random(10);
    const std::string s("\0", 1);  // scanline filter byte: none
    const std::string grey = File(Header(2, 2, 8, 0), s + "ab" + s + "cd");
    const std::string card = [&] {
        EXPECT_TRUE(WritePng(d + "card.png", MakeTestCard()).ok());
        return ReadFile(d + "card.png");
    }();
    std::string badChecksum = grey;
    badChecksum[29] ^= 1;  // the last byte of the header's CRC
    std::string badData = card;
    badData[card.size() / 2] ^= 0x40;  // inside the compressed pixels: their chunk's CRC fails
    WriteFile(d + "cut-in-header.png", grey.substr(0, 20));
    WriteFile(d + "cut-in-pixels.png", card.substr(0, card.size() / 2));
    WriteFile(d + "cut-before-end.png", card.substr(0, card.size() - 12));
    WriteFile(d + "bad-checksum.png", badChecksum);
    WriteFile(d + "bad-data.png", badData);
    WriteFile(d + "zero-width.png", File(Header(0, 2, 8, 0), s + s));
    WriteFile(d + "zero-height.png", File(Header(2, 0, 8, 0), ""));
    WriteFile(d + "huge.png", File(Header(100000, 100000, 8, 2), s));
    WriteFile(d + "wide.png", File(Header(16385, 1, 1, 0), s + std::string(2049, '\0')));
    WriteFile(d + "many-pixels.png", File(Header(16384, 16384, 1, 0), s));
    WriteFile(d + "no-palette.png", File(Header(2, 1, 8, 3), s + "\x01\x01"));
    WriteFile(d + "random.png", RandomBytes(random, 300));
    WriteFile(d + "random-after-signature.png", grey.substr(0, 8) + RandomBytes(random, 300));
    WriteFile(d + "in.raw", RandomBytes(random, 4 * 3 * 4 * 2));
    WriteFile(d + "out.png", "older picture");
    ASSERT_EQ(link((d + "in.raw").c_str(), (d + "hard.raw").c_str()), 0);
    ASSERT_EQ(symlink("in.raw", (d + "soft.raw").c_str()), 0);
    ASSERT_EQ(link((d + "card.png").c_str(), (d + "hard.png").c_str()), 0);

    const std::vector<std::string> raw = {"--plugin", kPlugin, "--size", "4x3"};
    auto image = [&](const std::string &in, const std::string &out = "out.png") {
        return std::vector<std::string>{"--plugin", kPlugin, "--image", d + in, d + out};
    };
    auto rawFiles = [&](const std::string &in, const std::string &out) {
        std::vector<std::string> arguments = raw;
        arguments.push_back(in == "-" ? in : d + in);
        arguments.push_back(d + out);
        return arguments;
    };
    const std::string sameFile = " (the same file): writing it would destroy the input";
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
        std::string stdinFile = "";
    } cases[] = {
        {image("cut-in-header.png"),
         "cannot read image " + d + "cut-in-header.png: the file is cut short"},
        {image("cut-in-pixels.png"),
         "cannot read image " + d + "cut-in-pixels.png: the file is cut short"},
        {image("cut-before-end.png"),
         "cannot read image " + d + "cut-before-end.png: the file is cut short"},
        {image("bad-checksum.png"), "cannot read image " + d + "bad-checksum.png: IHDR: CRC error"},
        {image("bad-data.png"), "cannot read image " + d + "bad-data.png: IDAT: CRC error"},
        {image("zero-width.png"),
         "cannot read image " + d + "zero-width.png: its size is 0x2, a picture without pixels"},
        {image("zero-height.png"),
         "cannot read image " + d + "zero-height.png: its size is 2x0, a picture without pixels"},
        {image("huge.png"),
         "image " + d + "huge.png is 100000x100000, larger than 16384 on a side"},
        {image("wide.png"), "image " + d + "wide.png is 16385x1, larger than 16384 on a side"},
        {image("many-pixels.png"),
         "image " + d + "many-pixels.png is 16384x16384, more than the 67108864 pixels"},
        {image("no-palette.png"),
         "cannot read image " + d + "no-palette.png: IDAT: Missing PLTE before IDAT"},
        {image("random.png"), "cannot read image " + d + "random.png: not a PNG file"},
        {image("random-after-signature.png"),
         "cannot read image " + d + "random-after-signature.png: "},
        {image("none.png"), "cannot open image " + d + "none.png: No such file or directory"},
        {image("card.png", "missing/out.png"),
         "cannot write image " + d + "missing/out.png: No such file or directory"},
        // The output is the input: refused before anything is written.
        {image("card.png", "card.png"),
         "the output " + d + "card.png is the input " + d + "card.png" + sameFile},
        {image("card.png", "hard.png"),
         "the output " + d + "hard.png is the input " + d + "card.png" + sameFile},
        {rawFiles("in.raw", "in.raw"),
         "the output " + d + "in.raw is the input " + d + "in.raw" + sameFile},
        {rawFiles("in.raw", "hard.raw"), "the output " + d + "hard.raw is the input"},
        {rawFiles("in.raw", "soft.raw"), "the output " + d + "soft.raw is the input"},
        {rawFiles("soft.raw", "../refusals/in.raw"), "is the input " + d + "soft.raw" + sameFile},
        {rawFiles("-", "in.raw"),
         "the output " + d + "in.raw is the input standard input" + sameFile, d + "in.raw"},
    };
    const std::map<std::string, std::string> before = FolderContents(dir);
    for (const Case &c : cases) {
        const HostRun run = RunFilterHost(c.arguments, c.stdinFile);
        ExpectOneLineError(run, c.message);
        EXPECT_TRUE(FolderContents(dir) == before) << "files changed by: " << c.message;
    }
}

}  // namespace
}  // namespace filterhost
