#include "suggest_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame_sampling.h"
#include "host_bitmap.h"
#include "input_file.h"
#include "png_files.h"
#include "progress_line.h"
#include "raw_frames.h"
#include "script_binding.h"
#include "suggest_settings.h"
#if KANTORA_HAS_VIDEO
#include "video_module.h"
#endif

namespace {

// The frames handed over, measured into a survey made for the first one's size, with a
// progress line for a person watching a terminal.
class Measurements {
public:
    explicit Measurements(bool progress) : progress_(progress) {}

    // Before the first frame: how many frames will come (0: not known).
    void Expect(int64_t frames) { line_.emplace(progress_, frames, false); }

    // A frame of 32-bit B, G, R, X pixels from its top row, rows `pitch` bytes apart.
    void Add(const uint8_t *topRow, ptrdiff_t pitch, int32_t width, int32_t height) {
        if (!survey_)
            survey_ = std::make_unique<suggest::BorderSurvey>(width, height);
        if (!survey_->Add(topRow, pitch, width, height)) {
            ++otherSize_;
            return;
        }
        if (!line_)
            Expect(0);
        line_->Update(survey_->FramesMeasured());
    }
    void Add(const HostBitmap &frame) {
        // The bitmap's rows lie bottom-up: from the top row, each next row is a pitch back.
        Add(frame.PictureRowBytes(0), -frame.Pitch(), frame.Width(), frame.Height());
    }

    void Finish() {
        if (line_ && survey_)
            line_->Finish(survey_->FramesMeasured());
        line_.reset();
    }

    const suggest::BorderSurvey *Survey() const { return survey_.get(); }
    int64_t FramesOfAnotherSize() const { return otherSize_; }
    std::vector<std::string> notes;  // about the input, for standard error

private:
    bool progress_;
    std::optional<ProgressLine> line_;
    std::unique_ptr<suggest::BorderSurvey> survey_;
    int64_t otherSize_ = 0;
};

int64_t FramesWanted(const Options &options) {
    return options.suggestFrames > 0 ? options.suggestFrames
                                     : suggest::BorderSurvey::FramesWanted();
}

// How many whole frames a regular file holds; nothing for a pipe or a device.
std::optional<int64_t> FramesInFile(std::FILE *file, size_t frameBytes) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<int64_t>(status.st_size) / static_cast<int64_t>(frameBytes);
}

// Raw frames: a file is sampled by seeking to frames spread over it; a stream is read to its
// end and sampled as it goes. A frame cut short at the end is left out, and said.
Status MeasureRawFrames(const Options &options, Measurements &measurements) {
    Expected<InputFile> input = OpenInput(options.input);
    if (!input)
        return input.failure();
    const std::string name = InputName(options.input);
    HostBitmap frame(options.size.width, options.size.height, 0, RowOrder::TopDown);
    RawFrameReader reader(input->get(), name, options.size);
    auto next = [&] {
        Expected<bool> read = reader.Next(frame);
        if (!read)
            measurements.notes.push_back(read.failure().message +
                                         "; judged from the whole frames before it");
        return read.ok() && *read;
    };
    const std::optional<int64_t> total = FramesInFile(input->get(), options.size.Bytes());
    if (total.value_or(0) > 0) {
        const std::vector<int64_t> chosen = EvenlySpread(*total, FramesWanted(options));
        measurements.Expect(static_cast<int64_t>(chosen.size()));
        for (int64_t index : chosen) {
            const off_t at = static_cast<off_t>(index) * static_cast<off_t>(options.size.Bytes());
            if (fseeko(input->get(), at, SEEK_SET) != 0)
                return Fail("cannot read " + name + ": " + std::strerror(errno));
            if (!next())
                break;
            measurements.Add(frame);
        }
        return Ok();
    }
    StreamSampler sampler(FramesWanted(options));
    for (int64_t index = 0; next(); ++index)
        if (sampler.Take(index))
            measurements.Add(frame);
    return Ok();
}

Status MeasurePicture(const Options &options, Measurements &measurements) {
    Expected<HostBitmap> picture = ReadPng(options.input);
    if (!picture)
        return picture.failure();
    measurements.Add(*picture);
    return Ok();
}

Status MeasureVideo(const Options &options, Measurements &measurements) {
#if KANTORA_HAS_VIDEO
    Expected<const VideoModule *> module = LoadVideoModule();
    if (!module)
        return module.failure();
    return (*module)->sampleFrames(
        options.input, FramesWanted(options), [&](int64_t frames) { measurements.Expect(frames); },
        [&](const uint8_t *topRow, ptrdiff_t pitch, int32_t width, int32_t height) {
            measurements.Add(topRow, pitch, width, height);
        });
#else
    (void)measurements;
    return Fail("--suggest reads video files only in the 64-bit Linux builds: give " +
                options.input + " as raw frames with --size, or as a PNG picture");
#endif
}

bool StartsLikePng(const std::string &path) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    unsigned char start[8] = {};
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    const size_t read = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    return read == sizeof start && std::memcmp(start, kSignature, sizeof start) == 0;
}

// The suggested values as a script call in the filter's order: Top, Bottom, Right, Left;
// within each, smear, black, fade, stretch.
std::string ConfigCall(const suggest::Suggestion &suggestion) {
    std::string call = "Config(";
    const std::array<int32_t, 16> values = suggest::ScriptValues(suggestion);
    for (size_t k = 0; k < values.size(); ++k)
        call += (k > 0 ? ", " : "") + std::to_string(values[k]);
    return call + ")";
}

}  // namespace

Status SuggestSettings(FilterInstance &instance, const FilterDefinition &definition,
                       const Options &options) {
    if (options.input == "-" && !options.suggestRaw)
        return Fail("--suggest - reads raw frames from standard input: give their --size",
                    FailureKind::Usage);
    Measurements measurements(!options.quiet && isatty(fileno(stderr)));
    Status measured = options.suggestRaw             ? MeasureRawFrames(options, measurements)
                      : StartsLikePng(options.input) ? MeasurePicture(options, measurements)
                                                     : MeasureVideo(options, measurements);
    measurements.Finish();
    if (!measured)
        return measured;
    if (measurements.Survey() == nullptr)
        return Fail(measurements.notes.empty()
                        ? InputName(options.input) + " holds no frame to measure"
                        : measurements.notes.front());

    const suggest::Suggestion suggestion = suggest::SuggestSettings(*measurements.Survey());
    // The filter writes its own call, from the values set through its own Config function.
    Expected<BoundScript> bound =
        BindScript(ConfigCall(suggestion), definition.script_obj,
                   definition.name != nullptr ? definition.name : "", -1, "the suggestion");
    if (!bound)
        return bound.failure();
    Status set = instance.RunScript(bound->calls);
    if (!set)
        return set;
    Expected<std::string> call = instance.ScriptText(options.scriptBufferSize);
    if (!call)
        return call.failure();

    if (!options.quiet) {
        for (const std::string &note : measurements.notes)
            std::fprintf(stderr, "filterhost: %s\n", note.c_str());
        if (measurements.FramesOfAnotherSize() > 0)
            std::fprintf(stderr, "filterhost: %lld frames of another size were left out\n",
                         static_cast<long long>(measurements.FramesOfAnotherSize()));
        for (const std::string &line : suggestion.explanation)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::printf("%s\n", call->c_str());
    return std::fflush(stdout) == 0 ? Ok() : Fail("cannot write standard output");
}
