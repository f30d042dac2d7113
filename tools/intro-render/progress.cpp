#include "progress.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Seconds between updates on a terminal and in a log.
constexpr double kTerminalInterval = 0.25;
constexpr double kLogInterval = 5;

}  // namespace

Progress::Progress(bool forced, int64_t total)
    : terminal_(isatty(STDERR_FILENO) != 0),
      total_(total),
      start_(Clock::now()),
      lastPrint_(start_) {
    shown_ = forced || terminal_;
}

double Progress::elapsed() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void Progress::update(int64_t done) {
    if (!shown_) return;
    const double sinceLast = std::chrono::duration<double>(Clock::now() - lastPrint_).count();
    if (sinceLast < (terminal_ ? kTerminalInterval : kLogInterval)) return;
    print(done);
}

void Progress::print(int64_t done) {
    lastPrint_ = Clock::now();
    const double seconds = elapsed();
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    const double left = rate > 0 ? double(total_ - done) / rate : 0;
    std::fprintf(stderr, "%sintro-render: %lld/%lld frames, %.1f frames/s, %.0f s left%s",
                 terminal_ ? "\r" : "", static_cast<long long>(done),
                 static_cast<long long>(total_), rate, left, terminal_ ? "\033[K" : "\n");
    lineOpen_ = terminal_;
    std::fflush(stderr);
}

void Progress::interrupt() {
    if (lineOpen_) std::fputc('\n', stderr);
    lineOpen_ = false;
}

void Progress::finish(int64_t done, const std::string& what, double realSeconds) {
    if (!shown_) return;
    if (lineOpen_) std::fputc('\r', stderr);
    const double seconds = elapsed();
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    std::fprintf(stderr, "intro-render: %lld frames to %s in %.2f s, %.1f frames/s",
                 static_cast<long long>(done), what.c_str(), seconds, rate);
    if (realSeconds > 0 && seconds > 0)
        std::fprintf(stderr, ", %.1f x real time", realSeconds / seconds);
    std::fprintf(stderr, "%s\n", lineOpen_ ? "\033[K" : "");
    lineOpen_ = false;
}
