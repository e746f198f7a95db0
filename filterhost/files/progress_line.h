// A progress line on standard error, rewritten in place: frames done (of the total when it is
// known), frames per second and the time left. Only for a person watching a terminal.
#pragma once

#include <chrono>
#include <cstdint>

namespace filterhost {

class ProgressLine {
public:
    // `total` 0: unknown. `estimated`: the total is a guess from the duration.
    ProgressLine(bool enabled, int64_t total, bool estimated);
    ~ProgressLine();  // ends the line

    void Update(int64_t frames);  // prints a few times a second
    void Finish(int64_t frames);  // prints the final count

private:
    void Print(int64_t frames);

    bool enabled_;
    int64_t total_;
    bool estimated_;
    bool printed_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastPrint_;
};

}  // namespace filterhost
