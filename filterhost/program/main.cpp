// filterhost: runs a VirtualDub filter plug-in outside VirtualDub, on raw video frames, PNG
// pictures and video files, with its settings given as script calls; suggests the settings for
// a clip, and shows the filter's dialog beside a preview.
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "border_instance.h"
#include "command_line.h"
#include "configure_session.h"
#include "exit_codes.h"
#include "filter_host.h"
#include "filter_instance.h"
#include "frame_input.h"
#include "host_bitmap.h"
#include "input_file.h"
#include "output_file.h"
#include "plugin_search.h"
#include "printable_text.h"
#include "png_files.h"
#include "preview_command.h"
#include "raw_frames.h"
#include "script_binding.h"
#include "script_file.h"
#include "suggest_command.h"
#if KANTORA_HAS_VIDEO
#include <unistd.h>

#include "video_module.h"
#endif

namespace filterhost {
namespace {

const char *TextOrNone(const char *text) { return text != nullptr ? text : "(none)"; }

int Report(const Failure &failure) {
    if (!failure.message.empty())
        std::fprintf(stderr, "filterhost: %s\n", failure.message.c_str());
    return ExitCodeOf(failure.kind);
}

// Every call of every source is parsed and checked before the first one runs. What a settings
// file holds for the host or for other filters is said on standard error, not run.
Expected<std::vector<kantora::BoundCall>> BindAllScripts(const std::vector<ScriptSource> &sources,
                                                         const FilterDefinition &definition,
                                                         int instance) {
    std::vector<kantora::BoundCall> calls;
    for (const ScriptSource &source : sources) {
        Expected<std::string> text = source.isFile ? kantora::ReadScriptFile(source.text)
                                                   : Expected<std::string>(source.text);
        if (!text)
            return text.failure();
        Expected<kantora::BoundScript> bound =
            kantora::BindScript(*text, definition.script_obj, TextOrNone(definition.name), instance,
                                source.isFile ? source.text : "--config");
        if (!bound)
            return bound.failure();
        for (const std::string &note : bound->notes)
            std::fprintf(stderr, "filterhost: %s\n", note.c_str());
        calls.insert(calls.end(), bound->calls.begin(), bound->calls.end());
    }
    return calls;
}

Expected<const FilterDefinition *> ChooseFilter(const FilterHost &host, const std::string &name) {
    for (const FilterDefinition *definition : host.Definitions())
        if (name.empty() || (definition->name != nullptr && name == definition->name))
            return definition;
    return Fail("the plug-in has no filter named '" + kantora::Printable(name) + "' (see --list)");
}

void PrintFilters(const FilterHost &host) {
    bool first = true;
    for (const FilterDefinition *definition : host.Definitions()) {
        std::printf("%sname: %s\ndescription: %s\nmaker: %s\n", first ? "" : "\n",
                    TextOrNone(definition->name), TextOrNone(definition->desc),
                    TextOrNone(definition->maker));
        first = false;
    }
}

Status PrintSettings(FilterInstance &instance, const std::string &filterName,
                     const Options &options) {
    if (options.saveScript) {
        Expected<std::string> script = instance.ScriptText(options.scriptBufferSize);
        if (!script)
            return script.failure();
        if (options.settingsFile)
            std::fputs(kantora::SettingsFileText(filterName, *script).c_str(), stdout);
        else
            std::printf("%s\n", script->c_str());
    }
    if (options.describe) {
        Expected<std::string> summary = instance.Summary();
        if (!summary)
            return summary.failure();
        std::printf("%s\n", summary->c_str());
    }
    return std::fflush(stdout) == 0 ? Ok() : Fail("cannot write standard output");
}

// What the frames already written say when the input breaks or the filter refuses a frame.
Failure FramesKept(const Failure &why, int64_t frames, const std::string &output) {
    const std::string where =
        output == "-" ? "went to standard output" : "are in " + kantora::PrintableWhole(output);
    return Fail(why.message + "; the " + std::to_string(frames) + " frames before it " + where,
                why.kind);
}

Status ProcessRawFrames(FilterInstance &instance, const Options &options) {
    Status distinct = CheckOutputIsNotInput(options.input.path, options.output);
    if (!distinct)
        return distinct;
    // The stream's top-down frames are handed over as they are read, with a negative pitch,
    // and written straight from the destination: no copy but the plug-in's own.
    const BitmapLayout layout{options.pitchPadding, RowOrder::TopDown};
    Expected<std::unique_ptr<FrameSource>> frames = OpenFrames(options.input, layout);
    if (!frames)
        return frames.failure();
    Expected<OutputFile> output =
        OutputFile::Open(options.output, kantora::PrintableWhole(options.output));
    if (!output)
        return output.failure();
    const FrameSize size = options.input.size;
    HostBitmap destination(size.width, size.height, layout);
    WidenPipe(output->Stream(), size.Bytes());
    // An input that breaks, or a frame the filter refuses, ends the run; the whole frames
    // before it are kept, whatever the output. Only the output's own failure loses them.
    Status refused = Ok(), stored = Ok();
    int64_t written = 0;
    const Status read = (*frames)->Each([&](HostBitmap &source) {
        refused = instance.Run(source, destination);
        if (!refused)
            return false;
        stored = WriteRawFrame(output->Stream(), output->Name(), destination);
        if (!stored)
            return false;
        ++written;
        return true;
    });
    if (!stored)
        return stored;
    Status committed = output->Commit();
    if (!committed)
        return committed;
    const Status broke = !refused ? refused : read;
    return broke ? Ok() : Status(FramesKept(broke.failure(), written, options.output));
}

Status ProcessImage(FilterInstance &instance, const Options &options) {
    Status distinct = CheckOutputIsNotInput(options.input.path, options.output);
    if (!distinct)
        return distinct;
    Expected<std::unique_ptr<FrameSource>> picture =
        OpenFrames(options.input, {options.pitchPadding});
    if (!picture)
        return picture.failure();
    Status done = Ok();
    const Status read = (*picture)->Each([&](HostBitmap &source) {
        HostBitmap destination(source.Width(), source.Height(), options.pitchPadding);
        done = instance.Run(source, destination);
        if (done)
            done = WritePng(options.output, destination);
        return false;
    });
    return read ? done : read;
}

// Prints the settings line after OK, as --save-script does; nothing after Cancel.
Status RunDialog(FilterInstance &instance, const FilterDefinition &definition,
                 const Options &options) {
    PreviewSource preview{nullptr, options.pitchPadding};
    std::unique_ptr<FrameSource> frames;
    if (options.input.kind != FrameInput::Kind::None) {
        Expected<std::unique_ptr<FrameSource>> opened = OpenFrames(options.input, {});
        if (!opened)
            return opened.failure();
        frames = std::move(*opened);
        preview.frames = frames.get();
    }
    Expected<bool> accepted = ConfigureWithPreview(instance, definition, preview);
    if (!accepted)
        return accepted.failure();
    if (!*accepted)
        return Fail("", FailureKind::Cancelled);
    Options print = options;
    print.saveScript = true;
    return PrintSettings(instance, TextOrNone(definition.name), print);
}

#if KANTORA_HAS_VIDEO
// The filter instance as the video module runs it.
class InstanceFilter final : public FrameFilter {
public:
    explicit InstanceFilter(FilterInstance &instance) : instance_(instance) {}
    Status Run(HostBitmap &source, HostBitmap &destination) override {
        return instance_.Run(source, destination);
    }

private:
    FilterInstance &instance_;
};
#endif

Status ProcessVideo(FilterInstance &instance, const FilterDefinition &definition,
                    const Options &options) {
#if KANTORA_HAS_VIDEO
    Expected<const VideoModule *> module = LoadVideoModule();
    if (!module)
        return module.failure();
    const bool progress = !options.quiet && isatty(fileno(stderr));
    InstanceFilter filter(instance);
    VideoJob job;
    job.input = options.input.path;
    job.output = options.output;
    job.codec = options.codec;
    job.progress = progress;
    // The border filter's strips are all that is converted; any other filter gets the whole
    // frame.
    job.border = BorderSettingsOf(instance, definition);
    return (*module)->repairVideo(filter, job);
#else
    (void)instance;
    (void)definition;
    (void)options;
    return Fail("--video is not in this build of filterhost");
#endif
}

Status RunHost(const Options &options) {
    if (options.mode == Mode::Configure && !kHostShowsDialogs)
        return Fail(kConfigureNeedsWindows, FailureKind::Usage);
#if KANTORA_HAS_VIDEO
    if (options.mode == Mode::Video) {  // before anything is done for nothing
        Expected<const VideoModule *> module = LoadVideoModule();
        if (!module)
            return module.failure();
    }
#endif
    FilterHost host;
    Expected<std::string> plugin = options.plugin.empty() ? FindPlugin() : options.plugin;
    if (!plugin)
        return plugin.failure();
    Status loaded = host.Load(*plugin);
    if (!loaded)
        return loaded;
    if (options.mode == Mode::List) {
        PrintFilters(host);
        return Ok();
    }
    Expected<const FilterDefinition *> definition = ChooseFilter(host, options.filterName);
    if (!definition)
        return definition.failure();
    Expected<std::vector<kantora::BoundCall>> script =
        BindAllScripts(options.scripts, **definition, options.instance);
    if (!script)
        return script.failure();

    Expected<std::unique_ptr<FilterInstance>> created =
        FilterInstance::Create(**definition, host.Functions());
    if (!created)
        return created.failure();
    FilterInstance &instance = **created;
    Status configured = instance.RunScript(*script);
    if (!configured)
        return configured;
    if (options.mode == Mode::Settings)
        return PrintSettings(instance, TextOrNone((*definition)->name), options);
    if (options.mode == Mode::Configure)
        return RunDialog(instance, **definition, options);
    if (options.mode == Mode::Suggest)
        return SuggestSettings(instance, **definition, options);
    if (options.mode == Mode::Preview)
        return PreviewSettings(instance, **definition, options);

    Status started = instance.Start();
    if (!started)
        return started;
    Status processed = options.mode == Mode::Image   ? ProcessImage(instance, options)
                       : options.mode == Mode::Video ? ProcessVideo(instance, **definition, options)
                                                     : ProcessRawFrames(instance, options);
    Status ended = instance.End();
    return !processed ? processed : ended;
}

int Main(int argc, char **argv) {
    UseBinaryStandardStreams();
    Expected<Options> options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!options)
        return Report(options.failure());
    if (options->mode == Mode::Help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    try {
        Status status = RunHost(*options);
        return status ? kExitOk : Report(status.failure());
    } catch (const std::bad_alloc &) {
        return Report(Fail("out of memory"));
    }
}

}  // namespace
}  // namespace filterhost

int main(int argc, char **argv) { return filterhost::Main(argc, argv); }
