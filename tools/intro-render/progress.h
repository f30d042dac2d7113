#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// Progress of a run on stderr: frames done of the total, frames per second and the time
// left. On a terminal one line is rewritten in place a few times a second; elsewhere
// (only with --progress) a full line is printed every few seconds, so logs stay short.
class Progress {
public:
    // Shown when stderr is a terminal, or anywhere when forced (--progress).
    Progress(bool forced, int64_t total);

    // Called after each frame; prints when the last line is old enough.
    void update(int64_t done);

    // Ends the progress line with a summary of the run: `what` says where the frames went.
    // realSeconds > 0 adds how the run compares with real time (a capture of that length).
    void finish(int64_t done, const std::string& what, double realSeconds);

    // Ends a rewritten line before an error message is printed.
    void interrupt();

    // Seconds since the progress began.
    double elapsed() const;

private:
    using Clock = std::chrono::steady_clock;
    void print(int64_t done);

    bool shown_;
    bool terminal_;
    int64_t total_;
    Clock::time_point start_;
    Clock::time_point lastPrint_;
    bool lineOpen_ = false;
};
