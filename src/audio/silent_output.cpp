// The silent clock: no device, the decoded stream consumed in real time, so the show keeps
// time where no output can be opened and after a sound server goes away.
#include "audio/output_choice.h"
#include "audio/stream.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

// Frames per step: about 23 ms, as a device's buffer.
static constexpr int kStepFrames = 1024;
static constexpr int64_t kStepBytes = int64_t(kStepFrames) * kStreamBytesPerFrame;

struct SilentOutput {
    OutputFeed feed = {};
    // The thread holds the lock while it consumes a step.
    std::mutex lock;
    std::thread thread;
    std::atomic<bool> stop{false};
};

// Consumes one step per step duration on an absolute schedule, so the clock keeps real
// time on average however late single wake-ups are. Like a device it runs one step ahead
// of what counts as heard (the latency it reports), starting one period early so that the
// position is 0 at the start: a wake-up that comes late by less than a step then never
// holds the clock at the end of the music handed so far.
static void runSilentClock(SilentOutput* s) {
    using namespace std::chrono;
    std::vector<uint8_t> scratch(static_cast<size_t>(kStepBytes));
    const nanoseconds period(kStepFrames * int64_t(1000000000) / kStreamRate);
    steady_clock::time_point due = steady_clock::now() - period;
    while (!s->stop.load(std::memory_order_relaxed)) {
        {
            std::lock_guard<std::mutex> hold(s->lock);
            const int64_t dueNs = duration_cast<nanoseconds>(due.time_since_epoch()).count();
            s->feed.fill(s->feed.user, scratch.data(), scratch.size(), dueNs, kStepBytes);
        }
        due += period;
        std::this_thread::sleep_until(due);
    }
}

static void* openSilent(const OutputFeed& feed, bool&, std::string&) {
    SilentOutput* s = new SilentOutput;
    s->feed = feed;
    return s;
}

static void lockSilent(void* output) {
    static_cast<SilentOutput*>(output)->lock.lock();
}

static void unlockSilent(void* output) {
    static_cast<SilentOutput*>(output)->lock.unlock();
}

// The clock runs from its first step; a running clock just goes on from the rewound stream.
static bool playSilent(void* output) {
    SilentOutput* s = static_cast<SilentOutput*>(output);
    if (!s->thread.joinable()) s->thread = std::thread(runSilentClock, s);
    return true;
}

static void closeSilent(void* output) {
    SilentOutput* s = static_cast<SilentOutput*>(output);
    s->stop.store(true, std::memory_order_relaxed);
    if (s->thread.joinable()) s->thread.join();
    delete s;
}

const AudioOutput kSilentOutput = {"none",       "silent clock", openSilent, lockSilent,
                                   unlockSilent, playSilent,     closeSilent};
