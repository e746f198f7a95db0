// Output files that never destroy what is already on disk: a named output is written under a
// temporary name beside it and renamed over the name only when complete, so a failure part-way
// leaves no half-written file and keeps an older file of that name. "-" is standard output,
// which streams, as do devices and pipes given by name.
#pragma once

#include <cstdio>
#include <string>

#include "host_results.h"

namespace filterhost {

class OutputFile {
public:
    // `name` says what the file is in messages, quoted as they show it (printable_text.h), e.g.
    // "image out.png"; "cannot write NAME: ...".
    static Expected<OutputFile> Open(const std::string &path, const std::string &name);
    OutputFile(OutputFile &&other) noexcept;
    OutputFile &operator=(OutputFile &&) = delete;
    ~OutputFile();  // removes the temporary file unless committed

    std::FILE *Stream() const { return stream_; }
    const std::string &Name() const { return name_; }
    // Where the bytes go until Commit, for a writer that opens the file by name itself (an
    // FFmpeg muxer); empty for standard output.
    const std::string &WritePath() const { return temporary_.empty() ? path_ : temporary_; }

    // Flushes and closes the finished file and renames it over its name.
    Status Commit();

private:
    OutputFile(std::FILE *stream, std::string path, std::string temporary, std::string name);

    std::FILE *stream_;
    std::string path_;       // the final name; empty for standard output
    std::string temporary_;  // where the bytes go until Commit; empty when written directly
    std::string name_;
};

// Refuses an output that is the input file itself, by name, through a hard or symbolic link,
// or as redirected standard input and output ("-"): writing it would destroy the input.
// An output that does not exist yet is never the input.
Status CheckOutputIsNotInput(const std::string &input, const std::string &output);

}  // namespace filterhost
