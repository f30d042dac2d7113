#include "audio/music_output.h"

#include "audio/mp3_decoder.h"
#include "audio/music_clock.h"
#include "audio/output_choice.h"
#include "audio/stream.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

struct MusicOutput {
    Mp3Decoder* decoder = nullptr;
    MusicClock clock;
    OutputFeed feed = {};
    // The device that plays, null when none opened; once lost, the silent clock plays.
    const AudioOutput* device = nullptr;
    void* deviceState = nullptr;
    std::atomic<bool> deviceLost{false};
    void* silent = nullptr;  // the silent clock's state, opened with the output
};

// One buffer of the stream, music then silence; runs on the output's thread.
static void fillBuffer(void* user, uint8_t* out, size_t bytes, int64_t nowNs,
                       int64_t latencyBytes) {
    MusicOutput* o = static_cast<MusicOutput*>(user);
    const size_t music = decodeMp3(o->decoder, out, bytes & ~size_t(3));
    std::memset(out + music, 0, bytes - music);
    noteDeviceCallback(o->clock, nowNs, int64_t(bytes), int64_t(music), latencyBytes);
}

// The device was lost: from now on the silent clock plays.
static void leaveDevice(MusicOutput* o) {
    if (!o->deviceLost.exchange(true))
        std::fprintf(stderr, "audio: the sound server went away; playing on a silent clock\n");
}

// The device went away mid-show: the sound it held is lost, and the silent clock carries on
// from the music handed so far, so the picture goes on. Runs with the device locked, so no
// further fill can come from it.
static void deviceGone(void* user) {
    MusicOutput* o = static_cast<MusicOutput*>(user);
    leaveDevice(o);
    kSilentOutput.lock(o->silent);
    kSilentOutput.play(o->silent);
    kSilentOutput.unlock(o->silent);
}

MusicOutput* openSilentMusicOutput(Mp3Decoder* decoder) {
    MusicOutput* o = new MusicOutput;
    o->decoder = decoder;
    o->feed = {fillBuffer, deviceGone, o};
    resetMusicClock(o->clock, monotonicNs());
    bool absent = false;
    std::string reason;
    o->silent = kSilentOutput.open(o->feed, absent, reason);
    return o;
}

MusicOutput* openMusicOutput(Mp3Decoder* decoder) {
    MusicOutput* o = openSilentMusicOutput(decoder);
    const OutputPlan plan = planOutputs(std::getenv("INTRO_AUDIO"));
    if (!plan.warning.empty()) std::fprintf(stderr, "%s\n", plan.warning.c_str());
    std::vector<OutputFailure> failures;
    for (const AudioOutput* output : plan.order) {
        std::string reason;
        bool absent = false;
        void* state = output == &kSilentOutput ? o->silent : output->open(o->feed, absent, reason);
        if (state) {
            if (output != &kSilentOutput) {
                o->device = output;
                o->deviceState = state;
            }
            const std::string notice = outputNotice(failures, *output);
            if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
            break;
        }
        // Asked for by name, an absent output is worth saying.
        if (!absent || plan.forced) failures.push_back({output, reason});
    }
    return o;
}

bool musicOutputHasDevice(const MusicOutput* o) {
    return o->device && !o->deviceLost.load();
}

// Rewinds the track and the clock and plays `output` from there, with its lock held so
// that no fill runs meanwhile. False when the device has gone away since it was opened,
// which it may have at any moment; the silent clock never does.
static bool playFromStart(MusicOutput* o, const AudioOutput& output, void* state) {
    output.lock(state);
    bool playing = state == o->silent || !o->deviceLost.load();
    if (playing) {
        rewindMp3(o->decoder);
        resetMusicClock(o->clock, monotonicNs());
        playing = output.play(state);
    }
    output.unlock(state);
    return playing;
}

void startMusicOutput(MusicOutput* o) {
    if (o->device && !o->deviceLost.load()) {
        if (playFromStart(o, *o->device, o->deviceState)) return;
        leaveDevice(o);
    }
    playFromStart(o, kSilentOutput, o->silent);
}

int64_t musicOutputBytes(MusicOutput* o) {
    return readMusicClock(o->clock, monotonicNs());
}

void closeMusicOutput(MusicOutput* o) {
    if (!o) return;
    if (o->device) o->device->close(o->deviceState);
    kSilentOutput.close(o->silent);
    closeMp3(o->decoder);
    delete o;
}
