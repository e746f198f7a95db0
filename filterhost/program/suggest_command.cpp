#include "suggest_command.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame_input.h"
#include "host_bitmap.h"
#include "output_file.h"
#include "preview_command.h"
#include "progress_line.h"
#include "script_binding.h"
#include "suggest_settings.h"

namespace filterhost {

namespace {

// The frames handed over, measured into a survey made for the first one's size, with a
// progress line for a person watching a terminal.
class Measurements {
public:
    explicit Measurements(bool progress) : progress_(progress) {}

    // Before the first frame: how many frames will come (0: not known).
    void Expect(int64_t frames) { line_.emplace(progress_, frames, false); }

    void Add(const HostBitmap &frame) {
        if (!survey_)
            survey_ = std::make_unique<suggest::BorderSurvey>(frame.Width(), frame.Height());
        // From the top row down, whichever way the bitmap's rows lie in memory.
        if (!survey_->Add(frame.PictureRowBytes(0), -frame.Pitch(), frame.Width(),
                          frame.Height())) {
            ++otherSize_;
            return;
        }
        if (!line_)
            Expect(0);
        line_->Update(survey_->FramesMeasured());
    }

    void Finish() {
        if (line_ && survey_)
            line_->Finish(survey_->FramesMeasured());
        line_.reset();
    }

    const suggest::BorderSurvey *Survey() const { return survey_.get(); }
    int64_t FramesOfAnotherSize() const { return otherSize_; }

private:
    bool progress_;
    std::optional<ProgressLine> line_;
    std::unique_ptr<suggest::BorderSurvey> survey_;
    int64_t otherSize_ = 0;
};

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
    const bool preview = !options.preview.empty();
    if (preview) {
        Status distinct = CheckOutputIsNotInput(options.input.path, options.preview);
        if (!distinct)
            return distinct;
    }
    Expected<std::unique_ptr<FrameSource>> frames =
        OpenFrames(options.input, {0, RowOrder::TopDown});
    if (!frames)
        return frames.failure();
    Measurements measurements(!options.quiet && isatty(fileno(stderr)));
    PreviewFrames previewFrames;  // from the frames measured
    const int64_t wanted =
        options.suggestFrames > 0 ? options.suggestFrames : suggest::BorderSurvey::FramesWanted();
    const Status read = (*frames)->Spread(
        wanted, [&](int64_t count) { measurements.Expect(count); },
        [&](HostBitmap &frame) {
            measurements.Add(frame);
            if (preview)
                previewFrames.Add(frame);
            return true;
        });
    measurements.Finish();
    // An input that breaks part-way is judged from the frames before the break.
    if (measurements.Survey() == nullptr)
        return !read ? read : Fail((*frames)->Name() + " holds no frame to measure");
    std::vector<std::string> notes;
    if (!read)
        notes.push_back(read.failure().message + "; judged from the whole frames before it");

    const suggest::Suggestion suggestion = suggest::SuggestSettings(*measurements.Survey());
    // The filter writes its own call, from the values set through its own Config function.
    Expected<kantora::BoundScript> bound = kantora::BindScript(
        ConfigCall(suggestion), definition.script_obj,
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
        for (const std::string &note : notes)
            std::fprintf(stderr, "filterhost: %s\n", note.c_str());
        if (measurements.FramesOfAnotherSize() > 0)
            std::fprintf(stderr, "filterhost: %lld frames of another size were left out\n",
                         static_cast<long long>(measurements.FramesOfAnotherSize()));
        for (const std::string &line : suggestion.explanation)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::printf("%s\n", call->c_str());
    if (std::fflush(stdout) != 0)
        return Fail("cannot write standard output");
    // The call is printed first: a preview that cannot be written does not lose it.
    return preview ? WritePreview(instance, definition, previewFrames, options) : Ok();
}

}  // namespace filterhost
