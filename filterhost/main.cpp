// filterhost: runs a VirtualDub filter plug-in outside VirtualDub, on raw video frames or a
// PNG picture, with its settings given as script calls.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "command_line.h"
#include "filter_host.h"
#include "filter_instance.h"
#include "host_bitmap.h"
#include "png_files.h"
#include "raw_frames.h"
#include "script_binding.h"

namespace {

int Report(const Failure &failure) {
    std::fprintf(stderr, "filterhost: %s\n", failure.message.c_str());
    return failure.exitCode;
}

Expected<std::string> ReadTextFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail("cannot open script " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return Fail("cannot read script " + path);
    return text.str();
}

// Every call of every source is parsed and checked before the first one runs.
Expected<std::vector<BoundCall>> BindAllScripts(const std::vector<ScriptSource> &sources,
                                                const ScriptObject *object) {
    std::vector<BoundCall> calls;
    for (const ScriptSource &source : sources) {
        Expected<std::string> text = source.isFile ? ReadTextFile(source.text)
                                                   : Expected<std::string>(source.text);
        if (!text)
            return text.failure();
        Expected<std::vector<BoundCall>> bound =
            BindScript(*text, object, source.isFile ? source.text : "--config");
        if (!bound)
            return bound.failure();
        calls.insert(calls.end(), bound->begin(), bound->end());
    }
    return calls;
}

Expected<const FilterDefinition *> ChooseFilter(const FilterHost &host, const std::string &name) {
    for (const FilterDefinition *definition : host.Definitions())
        if (name.empty() || (definition->name != nullptr && name == definition->name))
            return definition;
    return Fail("the plug-in has no filter named '" + name + "' (see --list)");
}

const char *TextOrNone(const char *text) { return text != nullptr ? text : "(none)"; }

void PrintFilters(const FilterHost &host) {
    bool first = true;
    for (const FilterDefinition *definition : host.Definitions()) {
        std::printf("%sname: %s\ndescription: %s\nmaker: %s\n", first ? "" : "\n",
                    TextOrNone(definition->name), TextOrNone(definition->desc),
                    TextOrNone(definition->maker));
        first = false;
    }
}

Status PrintSettings(FilterInstance &instance, const Options &options) {
    if (options.saveScript) {
        Expected<std::string> script = instance.ScriptText(options.scriptBufferSize);
        if (!script)
            return script.failure();
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

struct FileCloser {
    void operator()(std::FILE *file) const {
        if (file != stdin && file != stdout)
            std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Expected<File> OpenStream(const std::string &path, bool forWriting) {
    if (path == "-")
        return File(forWriting ? stdout : stdin);
    File file(std::fopen(path.c_str(), forWriting ? "wb" : "rb"));
    if (!file)
        return Fail(std::string("cannot ") + (forWriting ? "write " : "read ") + path + ": " +
                    std::strerror(errno));
    return file;
}

std::string StreamName(const std::string &path, bool forWriting) {
    return path != "-" ? path : forWriting ? "standard output" : "standard input";
}

Status ProcessRawFrames(FilterInstance &instance, const Options &options) {
    Expected<File> input = OpenStream(options.input, false);
    if (!input)
        return input.failure();
    Expected<File> output = OpenStream(options.output, true);
    if (!output)
        return output.failure();
    const std::string inputName = StreamName(options.input, false);
    const std::string outputName = StreamName(options.output, true);

    // The stream's top-down frames are handed over as they are read, with a negative pitch,
    // and written straight from the destination: no copy but the plug-in's own.
    HostBitmap source(options.size.width, options.size.height, options.pitchPadding,
                      RowOrder::TopDown);
    HostBitmap destination(options.size.width, options.size.height, options.pitchPadding,
                           RowOrder::TopDown);
    RawFrameReader reader(input->get(), inputName, options.size);
    WidenPipe(input->get(), options.size.Bytes());
    WidenPipe(output->get(), options.size.Bytes());
    for (;;) {
        Expected<bool> more = reader.Next(source);
        if (!more)
            return more.failure();
        if (!*more)
            break;
        Status run = instance.Run(source, destination);
        if (!run)
            return run;
        Status written = WriteRawFrame(output->get(), outputName, destination);
        if (!written)
            return written;
    }
    if (output->get() != stdout && std::fclose(output.value().release()) != 0)
        return Fail("cannot write " + outputName + ": " + std::strerror(errno));
    return Ok();
}

Status ProcessImage(FilterInstance &instance, const Options &options) {
    Expected<Picture> picture = ReadPng(options.input);
    if (!picture)
        return picture.failure();
    HostBitmap source(picture->width, picture->height, options.pitchPadding);
    HostBitmap destination(picture->width, picture->height, options.pitchPadding);
    source.LoadTopDown(picture->bgrx.data());
    Status run = instance.Run(source, destination);
    if (!run)
        return run;
    destination.StoreTopDown(picture->bgrx.data());
    return WritePng(options.output, *picture);
}

Status RunHost(const Options &options) {
    FilterHost host;
    Status loaded = host.Load(options.plugin);
    if (!loaded)
        return loaded;
    if (options.mode == Mode::List) {
        PrintFilters(host);
        return Ok();
    }
    Expected<const FilterDefinition *> definition = ChooseFilter(host, options.filterName);
    if (!definition)
        return definition.failure();
    Expected<std::vector<BoundCall>> script =
        BindAllScripts(options.scripts, (*definition)->script_obj);
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
        return PrintSettings(instance, options);

    Status started = instance.Start();
    if (!started)
        return started;
    Status processed = options.mode == Mode::Image ? ProcessImage(instance, options)
                                                   : ProcessRawFrames(instance, options);
    Status ended = instance.End();
    return !processed ? processed : ended;
}

}  // namespace

int main(int argc, char **argv) {
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
