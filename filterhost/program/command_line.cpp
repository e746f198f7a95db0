#include "command_line.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "decimal_number.h"
#include "printable_text.h"

namespace filterhost {

const char *const kUsage =
    "usage: filterhost [--plugin FILE] [--filter NAME] OPTIONS\n"
    "  --plugin FILE                 the plug-in; by default Kantora231 beside filterhost,\n"
    "                                in ../filter/ or in ../lib/kantora/ from its folder\n"
    "  --list                        name, description and maker of each filter\n"
    "  --size WxH [IN [OUT]]         raw BGRA frames from IN to OUT ('-' or none: standard\n"
    "                                input and output), as ffmpeg -f rawvideo -pix_fmt bgra\n"
#if defined(_WIN32)
    "  --image IN.png OUT.png        one PNG picture (Linux builds only: this Windows build\n"
    "                                has no PNG reader and refuses it)\n"
#else
    "  --image IN.png OUT.png        one PNG picture\n"
#endif
    "  --configure [--size WxH IN]   the filter's dialog with a live preview of the first\n"
    "                                frame (or of a test card); prints the Config call after\n"
    "                                OK (Windows builds)\n"
#if KANTORA_HAS_VIDEO
    "  --video IN OUT                a whole video file: the first video stream repaired, the\n"
    "                                other streams copied; the progress line goes to standard\n"
    "                                error when it is a terminal\n"
    "    --codec NAME                the encoder (such as ffv1, lossless; default: libx264 for\n"
    "                                .mp4, .mov and .mkv, else the container's own)\n"
    "    --quiet                     no progress line\n"
#else
    "  --video IN OUT                not in this build (it has no FFmpeg): use a 64-bit Linux\n"
    "                                build, or ffmpeg pipes with --size\n"
#endif
    "  --suggest IN [--size WxH]     measure the edges of a video file, a PNG picture or raw\n"
    "                                frames (with --size; '-' for standard input) and print\n"
    "                                the Config call that repairs them; what was found and\n"
    "                                why each value goes to standard error\n"
    "    --frames N                  measure about N frames spread over the input\n"
    "    --quiet                     only the Config call (and no progress line)\n"
#if defined(_WIN32)
    "  --preview P.png               a frame before and after the settings, side by side\n"
    "                                (Linux builds only: this Windows build writes no PNG)\n"
#else
    "  --preview P.png [--size WxH] IN\n"
    "                                a frame of IN before and after the settings (--config,\n"
    "                                --script), side by side, the lines they change ticked in\n"
    "                                the margin; with --suggest IN, for the suggested ones\n"
#endif
    "  --config 'Config(...)'        a script call to run on the instance (repeatable)\n"
    "  --script FILE                 a file of script calls, one a line, '#' comments, or a\n"
    "                                processing-settings file (.vcf) saved by VirtualDub\n"
    "  --instance N                  the filter's instance[N] where the .vcf adds it twice\n"
    "  --save-script [--vcf]         print the script call for the settings (--vcf: a whole\n"
    "                                settings file VirtualDub loads), then exit\n"
    "  --describe                    print the filter's summary line, then exit\n"
    "  --script-buffer N             script buffer size for --save-script (default 256)\n";

namespace {

using Words = std::vector<std::string>;

// Modes as a set of bits.
using ModeSet = uint32_t;
constexpr ModeSet Only(Mode mode) { return ModeSet{1} << static_cast<int>(mode); }
template <class... More>
constexpr ModeSet Modes(Mode mode, More... more) {
    return (Only(mode) | ... | Only(more));
}
constexpr ModeSet kEveryMode = ~ModeSet{0};

// What an option sets from the words after it; false when they are not what it needs.
using Setter = bool (*)(Options &options, const Words &words);

template <std::string Options::*field>
bool Text(Options &options, const Words &words) {
    options.*field = words[0];
    return true;
}

template <bool Options::*field>
bool Flag(Options &options, const Words &) {
    options.*field = true;
    return true;
}

template <int Options::*field, int minimum, int maximum, int multipleOf = 1>
bool Number(Options &options, const Words &words) {
    int32_t value = 0;
    if (!ParseDecimal(words[0], minimum, maximum, value) || value % multipleOf != 0)
        return false;
    options.*field = value;
    return true;
}

bool Nothing(Options &, const Words &) { return true; }

bool Size(Options &options, const Words &words) {
    const std::optional<FrameSize> size = ParseFrameSize(words[0]);
    options.input.size = size.value_or(FrameSize{});
    return size.has_value();
}

bool InputAndOutput(Options &options, const Words &words) {
    options.input.path = words[0];
    options.output = words[1];
    return true;
}

bool Input(Options &options, const Words &words) {
    options.input.path = words[0];
    return true;
}

bool InputToMeasure(Options &options, const Words &words) {
    options.input.path = words[0];
    return words[0] == "-" || (!words[0].empty() && words[0][0] != '-');
}

bool Codec(Options &options, const Words &words) { return !(options.codec = words[0]).empty(); }

// A file to write: not standard output, which --suggest prints its call on.
bool PictureToWrite(Options &options, const Words &words) {
    options.preview = words[0];
    return !words[0].empty() && words[0][0] != '-';
}

template <bool isFile>
bool Script(Options &options, const Words &words) {
    options.scripts.push_back({isFile, words[0]});
    return true;
}

// One option: the words it takes right after it and what they must be, the mode it asks for,
// the modes it goes with, and what it sets.
struct OptionRow {
    std::string_view name;
    std::string_view words;  // such as "IN OUT"; empty: none
    std::string_view needs;  // for messages
    std::optional<Mode> asks;
    ModeSet modes;
    Setter set;
};

constexpr std::optional<Mode> kNoMode;
constexpr ModeSet kVideoOrSuggest = Modes(Mode::Video, Mode::Suggest);
// The modes that read raw frames of a size.
constexpr ModeSet kRawFrameModes =
    Modes(Mode::RawFrames, Mode::Suggest, Mode::Configure, Mode::Preview);

// --image takes the picture to preview with --configure, and an input and an output without.
const OptionRow kOptions[] = {
    {"--help", "", "", Mode::Help, kEveryMode, Nothing},
    {"-h", "", "", Mode::Help, kEveryMode, Nothing},
    {"--plugin", "FILE", "a file", kNoMode, kEveryMode, Text<&Options::plugin>},
    {"--filter", "NAME", "a filter name", kNoMode, kEveryMode, Text<&Options::filterName>},
    {"--list", "", "", Mode::List, Modes(Mode::List), Nothing},
    {"--size", "WxH", "WIDTHxHEIGHT, each from 1 to 16384, such as 720x576", Mode::RawFrames,
     kRawFrameModes, Size},
    {"--image", "IN.png OUT.png", "an input and an output file", Mode::Image, Modes(Mode::Image),
     InputAndOutput},
    {"--image", "IN.png", "the picture to preview", Mode::Image, Modes(Mode::Configure), Input},
    {"--configure", "", "", Mode::Configure, Modes(Mode::Configure), Nothing},
    {"--video", "IN OUT", "an input and an output file", Mode::Video, Modes(Mode::Video),
     InputAndOutput},
    {"--codec", "NAME", "an encoder name such as ffv1 or libx264", kNoMode, Modes(Mode::Video),
     Codec},
    {"--quiet", "", "", kNoMode, kVideoOrSuggest, Flag<&Options::quiet>},
    {"--suggest", "IN",
     "an input: a video file, a PNG picture, or raw frames with --size ('-' for standard input)",
     Mode::Suggest, Modes(Mode::Suggest), InputToMeasure},
    {"--frames", "N", "a number of frames from 1 to 100000", kNoMode, Modes(Mode::Suggest),
     Number<&Options::suggestFrames, 1, 100000>},
    {"--preview", "P.png", "a PNG file to write, such as preview.png", Mode::Preview,
     Modes(Mode::Preview, Mode::Suggest), PictureToWrite},
    {"--config", "'Config(...)'", "a script call such as 'Config(0, 0, ...)'", kNoMode, kEveryMode,
     Script<false>},
    {"--script", "FILE", "a file", kNoMode, kEveryMode, Script<true>},
    {"--instance", "N", "an instance number such as 1", kNoMode, kEveryMode,
     Number<&Options::instance, 0, 1 << 20>},
    {"--save-script", "", "", Mode::Settings, Modes(Mode::Settings), Flag<&Options::saveScript>},
    {"--vcf", "", "", kNoMode, Modes(Mode::Settings, Mode::Configure),
     Flag<&Options::settingsFile>},
    {"--describe", "", "", Mode::Settings, Modes(Mode::Settings), Flag<&Options::describe>},
    {"--script-buffer", "N", "a size from 1 to 1048576 bytes", kNoMode, kEveryMode,
     Number<&Options::scriptBufferSize, 1, 1 << 20>},
    // Testing aid: rows of the plug-in's bitmaps lie further apart than the picture.
    {"--pitch-padding", "N", "a multiple of 4 from 0 to 4096", kNoMode, kEveryMode,
     Number<&Options::pitchPadding, 0, 4096, 4>},
};

// One mode: the option that asks for it, and what it takes besides its options.
struct ModeRow {
    Mode mode;
    std::string_view option;
    size_t plain;            // arguments that follow no option
    std::string_view takes;  // what it takes, for messages
};

const ModeRow kModes[] = {
    {Mode::List, "--list", 0, "--list takes no file"},
    {Mode::Settings, "--save-script", 0, "--save-script and --describe take no file"},
    {Mode::RawFrames, "--size", 2,
     "--size takes at most an input and an output file (--size WxH [IN [OUT]])"},
    {Mode::Image, "--image", 0,
     "--image takes its two files right after it (--image IN.png OUT.png)"},
    {Mode::Video, "--video", 0, "--video takes its two files right after it (--video IN OUT)"},
    {Mode::Suggest, "--suggest", 0, "--suggest takes its input right after it (--suggest IN)"},
    {Mode::Preview, "--preview", 1,
     "--preview shows one input (--preview P.png IN, or --suggest IN --preview P.png)"},
    {Mode::Configure, "--configure", 1,
     "--configure previews a picture or raw frames (--configure --image IN.png, or "
     "--configure --size WxH [IN])"},
};

const ModeRow &RowOf(Mode mode) {
    return *std::find_if(std::begin(kModes), std::end(kModes),
                         [&](const ModeRow &row) { return row.mode == mode; });
}

Failure Usage(const std::string &message) { return Fail(message, FailureKind::Usage); }

size_t WordCount(std::string_view words) {
    return words.empty() ? 0 : size_t(std::count(words.begin(), words.end(), ' ')) + 1;
}

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known option nearest to a mistyped one, when it is near enough to be what was meant.
Failure UnknownOption(const std::string &option) {
    const OptionRow *nearest = nullptr;
    size_t distance = SIZE_MAX;
    for (const OptionRow &row : kOptions) {
        const size_t d = EditDistance(option, row.name);
        if (d < distance) {
            distance = d;
            nearest = &row;
        }
    }
    if (distance <= std::max<size_t>(2, option.size() / 4))
        return Usage("unknown option " + kantora::Printable(option) + " (did you mean " +
                     std::string(nearest->name) + "? see --help)");
    return Usage("unknown option " + kantora::Printable(option) + " (see --help)");
}

// "--quiet goes with --video and --suggest".
Failure GoesWith(const OptionRow &row) {
    std::vector<std::string_view> options;
    for (const ModeRow &mode : kModes)
        if (row.modes & Only(mode.mode))
            options.push_back(mode.option);
    std::string text = std::string(row.name) + " goes with " + std::string(options.front());
    for (size_t k = 1; k < options.size(); ++k)
        text += (k + 1 == options.size() ? " and " : ", ") + std::string(options[k]);
    return Usage(text);
}

// What each mode needs of the options and arguments given, and the input it reads.
Status FinishMode(Options &options, ModeSet asked, const Words &plain) {
    const bool raw = asked & Only(Mode::RawFrames);
    FrameInput &input = options.input;
#if defined(_WIN32)
    if (!options.preview.empty())
        return Usage("--preview writes a PNG picture, which this Windows build of filterhost "
                     "cannot: use a Linux build");
#endif
    switch (options.mode) {
    case Mode::Settings:
        if (options.settingsFile && !options.saveScript)
            return Usage("--vcf goes with --save-script");
        break;
    case Mode::RawFrames:
        input.kind = FrameInput::Kind::RawFrames;
        if (plain.size() > 0)
            input.path = plain[0];
        if (plain.size() > 1)
            options.output = plain[1];
        break;
    case Mode::Image:
        input.kind = FrameInput::Kind::Picture;
        break;
    case Mode::Video:
#if !KANTORA_HAS_VIDEO
        return Usage("--video is not in this build of filterhost, which has no FFmpeg: use a "
                     "64-bit Linux build, or ffmpeg pipes with --size");
#endif
        input.kind = FrameInput::Kind::Video;
        break;
    case Mode::Suggest:
        if (input.path == "-" && !raw)
            return Usage("--suggest - reads raw frames from standard input: give their --size");
        input.kind = raw ? FrameInput::Kind::RawFrames : FrameInput::Kind::PictureOrVideo;
        break;
    case Mode::Preview:
        if (plain.empty() && !raw)
            return Usage("--preview needs an input to show: --preview P.png IN, or --suggest IN "
                         "--preview P.png");
        if (!plain.empty())
            input.path = plain[0];
        if (input.path == "-" && !raw)
            return Usage("--preview - reads raw frames from standard input: give their --size");
        input.kind = raw ? FrameInput::Kind::RawFrames : FrameInput::Kind::PictureOrVideo;
        break;
    case Mode::Configure:
        if (raw && (asked & Only(Mode::Image)))
            return Usage(
                "--configure takes at most one picture: --image IN.png or --size WxH [IN]");
        if (!raw && !plain.empty())
            return Usage("unexpected argument " + kantora::PrintableWhole(plain[0]) + ": " +
                         std::string(RowOf(Mode::Configure).takes));
        input.kind = raw                         ? FrameInput::Kind::RawFrames
                     : asked & Only(Mode::Image) ? FrameInput::Kind::Picture
                                                 : FrameInput::Kind::None;
        if (raw && !plain.empty())
            input.path = plain[0];
        break;
    case Mode::List:
    case Mode::Help:
        break;
    }
    return Ok();
}

// The row of an option by name: --image has one for --configure and one for the other modes.
const OptionRow *FindOption(const std::string &name, bool configure) {
    const OptionRow *found = nullptr;
    for (const OptionRow &row : kOptions)
        if (row.name == name &&
            (found == nullptr || bool(row.modes & Only(Mode::Configure)) == configure))
            found = &row;
    return found;
}

// --configure, --suggest and --preview take --size (and --configure --image) for their input,
// and --suggest takes --preview; every other mode stands alone, and the first one asked for is
// the one chosen.
const OptionRow &ChosenMode(const std::vector<const OptionRow *> &given, ModeSet asked) {
    const ModeSet wanted = asked & Only(Mode::Configure) ? Only(Mode::Configure)
                           : asked & Only(Mode::Suggest) ? Only(Mode::Suggest)
                           : asked & Only(Mode::Preview) ? Only(Mode::Preview)
                                                         : asked;
    return **std::find_if(given.begin(), given.end(), [&](const OptionRow *row) {
        return row->asks && (Only(*row->asks) & wanted);
    });
}

}  // namespace

Expected<Options> ParseCommandLine(const std::vector<std::string> &arguments) {
    const bool configure =
        std::find(arguments.begin(), arguments.end(), "--configure") != arguments.end();
    Options options;
    std::vector<const OptionRow *> given;
    Words plain;  // arguments that follow no option
    ModeSet asked = 0;
    for (size_t k = 0; k < arguments.size(); ++k) {
        const std::string &argument = arguments[k];
        if (argument.size() < 2 || argument[0] != '-') {
            plain.push_back(argument);
            continue;
        }
        const OptionRow *row = FindOption(argument, configure);
        if (row == nullptr)
            return UnknownOption(argument);
        const size_t count = WordCount(row->words);
        if (k + count >= arguments.size())
            return Usage(argument + " needs " + std::string(row->needs));
        const Words words(arguments.begin() + std::ptrdiff_t(k + 1),
                          arguments.begin() + std::ptrdiff_t(k + 1 + count));
        if (!row->set(options, words))
            return Usage(argument + " needs " + std::string(row->needs) + ", not '" +
                         kantora::Printable(words.back()) + "'");
        k += count;
        given.push_back(row);
        if (row->asks)
            asked |= Only(*row->asks);
    }
    if (asked & Only(Mode::Help))
        return options;
    if (asked == 0)
        return Usage("nothing to do: give --list, --size, --image, --video, --suggest, "
                     "--preview, --configure, --save-script or --describe (see --help)");

    const OptionRow &chosen = ChosenMode(given, asked);
    options.mode = *chosen.asks;
    for (const OptionRow *row : given) {
        if (row->modes & Only(options.mode))
            continue;
        if (!row->asks)
            return GoesWith(*row);
        return Usage(std::string(row->name) + " and " + std::string(chosen.name) +
                     " do different things: choose one (see --help)");
    }
    const ModeRow &mode = RowOf(options.mode);
    if (plain.size() > mode.plain)
        return Usage("unexpected argument " + kantora::PrintableWhole(plain[mode.plain]) + ": " +
                     std::string(mode.takes));
    Status finished = FinishMode(options, asked, plain);
    if (!finished)
        return finished.failure();
    return options;
}

}  // namespace filterhost
