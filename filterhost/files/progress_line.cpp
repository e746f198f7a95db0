#include "progress_line.h"

#include <cstdio>

namespace filterhost {

namespace {

constexpr std::chrono::milliseconds kInterval(250);

}  // namespace

ProgressLine::ProgressLine(bool enabled, int64_t total, bool estimated)
    : enabled_(enabled),
      total_(total),
      estimated_(estimated),
      start_(std::chrono::steady_clock::now()),
      lastPrint_(start_) {}

ProgressLine::~ProgressLine() {
    if (printed_) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
}

void ProgressLine::Update(int64_t frames) {
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPrint_ < kInterval)
        return;
    lastPrint_ = now;
    Print(frames);
}

void ProgressLine::Finish(int64_t frames) {
    if (!enabled_)
        return;
    lastPrint_ = std::chrono::steady_clock::now();
    Print(frames);
}

void ProgressLine::Print(int64_t frames) {
    const double seconds = std::chrono::duration<double>(lastPrint_ - start_).count();
    const double fps = seconds > 0 ? frames / seconds : 0;
    char line[160];
    if (total_ > 0 && frames <= total_) {
        const double left = fps > 0 ? (total_ - frames) / fps : 0;
        std::snprintf(line, sizeof line, "frame %lld of %s%lld (%d%%), %.1f fps, %d:%02d left",
                      static_cast<long long>(frames), estimated_ ? "about " : "",
                      static_cast<long long>(total_), static_cast<int>(100 * frames / total_), fps,
                      static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    } else {
        std::snprintf(line, sizeof line, "frame %lld, %.1f fps", static_cast<long long>(frames),
                      fps);
    }
    // "\r" and the erase-to-end-of-line code rewrite the line in place.
    std::fprintf(stderr, "\r%s\x1b[K", line);
    std::fflush(stderr);
    printed_ = true;
}

}  // namespace filterhost
