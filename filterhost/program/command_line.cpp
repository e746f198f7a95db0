#include "command_line.h"

#include "decimal_number.h"

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
    "  --config 'Config(...)'        a script call to run on the instance (repeatable)\n"
    "  --script FILE                 a file of script calls, one a line, '#' comments, or a\n"
    "                                processing-settings file (.vcf) saved by VirtualDub\n"
    "  --instance N                  the filter's instance[N] where the .vcf adds it twice\n"
    "  --save-script [--vcf]         print the script call for the settings (--vcf: a whole\n"
    "                                settings file VirtualDub loads), then exit\n"
    "  --describe                    print the filter's summary line, then exit\n"
    "  --script-buffer N             script buffer size for --save-script (default 256)\n";

namespace {

Failure Usage(const std::string &message) { return Fail(message, FailureKind::Usage); }

bool ParseCount(const std::string &text, int minimum, int maximum, int &value) {
    int32_t parsed = 0;
    if (!ParseDecimal(text, minimum, maximum, parsed))
        return false;
    value = parsed;
    return true;
}

}  // namespace

Expected<Options> ParseCommandLine(const std::vector<std::string> &arguments) {
    Options options;
    std::vector<std::string> positional;
    bool list = false, image = false, raw = false, video = false, help = false, configure = false,
         suggest = false;
    // With --configure, --image names only the picture to preview.
    for (const std::string &argument : arguments)
        configure = configure || argument == "--configure";
    for (size_t k = 0; k < arguments.size(); ++k) {
        const std::string &option = arguments[k];
        auto value = [&](std::string &out) -> bool {
            if (k + 1 >= arguments.size())
                return false;
            out = arguments[++k];
            return true;
        };
        std::string text;
        if (option == "--help" || option == "-h") {
            help = true;
        } else if (option == "--plugin") {
            if (!value(options.plugin))
                return Usage("--plugin needs a file");
        } else if (option == "--filter") {
            if (!value(options.filterName))
                return Usage("--filter needs a filter name");
        } else if (option == "--list") {
            list = true;
        } else if (option == "--size") {
            if (!value(text))
                return Usage("--size needs WIDTHxHEIGHT");
            Expected<FrameSize> size = ParseFrameSize(text);
            if (!size)
                return size.failure();
            options.input.size = *size;
            raw = true;
        } else if (option == "--image") {
            if (configure) {
                if (!value(options.input.path))
                    return Usage("--image needs the picture to preview");
            } else {
                if (k + 2 >= arguments.size())
                    return Usage("--image needs an input and an output file");
                options.input.path = arguments[++k];
                options.output = arguments[++k];
            }
            image = true;
        } else if (option == "--configure") {
            // taken into account before the loop
        } else if (option == "--video") {
#if !KANTORA_HAS_VIDEO
            return Usage("--video is not in this build of filterhost, which has no FFmpeg: use a "
                         "64-bit Linux build, or ffmpeg pipes with --size");
#endif
            if (k + 2 >= arguments.size())
                return Usage("--video needs an input and an output file");
            options.input.path = arguments[++k];
            options.output = arguments[++k];
            video = true;
        } else if (option == "--suggest") {
            std::string &input = options.input.path;
            if (!value(input) || input.empty() || (input.size() > 1 && input[0] == '-'))
                return Usage("--suggest needs an input: a video file, a PNG picture, or raw "
                             "frames with --size ('-' for standard input)");
            suggest = true;
        } else if (option == "--frames") {
            if (!value(text) || !ParseCount(text, 1, 100000, options.suggestFrames))
                return Usage("--frames needs a number of frames from 1 to 100000");
        } else if (option == "--codec") {
            if (!value(options.codec) || options.codec.empty())
                return Usage("--codec needs an encoder name such as ffv1 or libx264");
        } else if (option == "--quiet") {
            options.quiet = true;
        } else if (option == "--config") {
            if (!value(text))
                return Usage("--config needs a script call such as 'Config(0, 0, ...)'");
            options.scripts.push_back({false, text});
        } else if (option == "--script") {
            if (!value(text))
                return Usage("--script needs a file");
            options.scripts.push_back({true, text});
        } else if (option == "--instance") {
            if (!value(text) || !ParseCount(text, 0, 1 << 20, options.instance))
                return Usage("--instance needs an instance number such as 1");
        } else if (option == "--vcf") {
            options.settingsFile = true;
        } else if (option == "--save-script") {
            options.saveScript = true;
        } else if (option == "--describe") {
            options.describe = true;
        } else if (option == "--script-buffer") {
            if (!value(text) || !ParseCount(text, 1, 1 << 20, options.scriptBufferSize))
                return Usage("--script-buffer needs a size from 1 to 1048576 bytes");
        } else if (option == "--pitch-padding") {
            // Testing aid: rows of the plug-in's bitmaps lie further apart than the picture.
            if (!value(text) || !ParseCount(text, 0, 4096, options.pitchPadding) ||
                options.pitchPadding % 4 != 0)
                return Usage("--pitch-padding needs a multiple of 4 from 0 to 4096");
        } else if (option.size() > 1 && option[0] == '-') {
            return Usage("unknown option " + option);
        } else {
            positional.push_back(option);
        }
    }

    if (help)
        return options;
    const bool settings = options.saveScript || options.describe;
    if (configure) {
        if (list || settings || video)
            return Usage("--configure prints the settings itself: leave out --list, "
                         "--video, --save-script and --describe");
        if (raw && image)
            return Usage("--configure takes at most one picture: --image IN.png or --size WxH IN");
        if (!positional.empty() && !raw)
            return Usage("unexpected argument " + positional.front());
        if (positional.size() > 1)
            return Usage("unexpected argument " + positional[1]);
        options.mode = Mode::Configure;
        options.input.kind = raw     ? FrameInput::Kind::RawFrames
                             : image ? FrameInput::Kind::Picture
                                     : FrameInput::Kind::None;
        if (raw && !positional.empty())
            options.input.path = positional[0];
        return options;
    }
    if (options.settingsFile && !options.saveScript)
        return Usage("--vcf goes with --save-script");
    if (suggest) {
        if (list || settings || image || video || !options.codec.empty())
            return Usage("--suggest takes an input (and --size for raw frames), --frames and "
                         "--quiet; leave out the other modes");
        if (!positional.empty())
            return Usage("unexpected argument " + positional.front());
        if (options.input.path == "-" && !raw)
            return Usage("--suggest - reads raw frames from standard input: give their --size");
        options.mode = Mode::Suggest;
        options.input.kind = raw ? FrameInput::Kind::RawFrames : FrameInput::Kind::PictureOrVideo;
        return options;
    }
    if (options.suggestFrames > 0)
        return Usage("--frames goes with --suggest");
    if (int(list) + int(settings) + int(raw) + int(image) + int(video) > 1)
        return Usage("choose one of --list, --size, --image, --video, --suggest, or "
                     "--save-script/--describe");
    if (!video && (!options.codec.empty() || options.quiet))
        return Usage("--codec goes with --video, --quiet with --video and --suggest");
    if (!positional.empty() && !raw)
        return Usage("unexpected argument " + positional.front());
    if (positional.size() > 2)
        return Usage("unexpected argument " + positional[2]);
    if (raw) {
        if (positional.size() > 0)
            options.input.path = positional[0];
        if (positional.size() > 1)
            options.output = positional[1];
    }
    options.mode = list       ? Mode::List
                   : settings ? Mode::Settings
                   : raw      ? Mode::RawFrames
                   : image    ? Mode::Image
                   : video    ? Mode::Video
                              : Mode::Help;
    options.input.kind = raw     ? FrameInput::Kind::RawFrames
                         : image ? FrameInput::Kind::Picture
                         : video ? FrameInput::Kind::Video
                                 : FrameInput::Kind::None;
    if (options.mode == Mode::Help)
        return Usage(
            "nothing to do: give --list, --size, --image, --video, --suggest, --configure, "
            "--save-script or --describe");
    return options;
}
