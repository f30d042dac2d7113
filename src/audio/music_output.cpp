#include "audio/music_output.h"

#include "audio/mp3_decoder.h"
#include "audio/music_clock.h"
#include "audio/output_choice.h"
#include "audio/pipewire_output.h"
#include "audio/pulse_output.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

// Frames per SDL device callback and per step of the silent clock: about 23 ms at 44.1 kHz.
static constexpr int kBufferFrames = 1024;
static constexpr int64_t kBufferBytes = kBufferFrames * 4;

struct MusicOutput {
    Mp3Decoder* decoder = nullptr;
    MusicClock clock;
    // What plays now; a sound server's output turns to Silent when the server goes away.
    std::atomic<OutputKind> kind{OutputKind::Silent};
    PipewireOutput* pipewire = nullptr;
    PulseOutput* pulse = nullptr;
    SDL_AudioDeviceID device = 0;
    int64_t latencyBytes = 0;  // SDL and silent clock: sound queued in front of each buffer
    bool started = false;

    // Silent clock: its thread holds the lock while it consumes a buffer.
    std::mutex silentLock;
    std::thread silentThread;
    std::atomic<bool> silentStop{false};
};

int64_t monotonicNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// One buffer of the stream, music then silence; runs on the audio thread.
static void fillBuffer(MusicOutput* o, uint8_t* out, size_t bytes, int64_t nowNs,
                       int64_t latencyBytes) {
    const size_t music = decodeMp3(o->decoder, out, bytes & ~size_t(3));
    std::memset(out + music, 0, bytes - music);
    noteDeviceCallback(o->clock, nowNs, int64_t(bytes), int64_t(music), latencyBytes);
}

static void deviceCallback(void* user, Uint8* out, int bytes) {
    const int64_t now = monotonicNs();
    MusicOutput* o = static_cast<MusicOutput*>(user);
    fillBuffer(o, out, size_t(bytes), now, o->latencyBytes);
}

static void serverFill(void* user, uint8_t* out, size_t bytes, int64_t latencyBytes) {
    fillBuffer(static_cast<MusicOutput*>(user), out, bytes, monotonicNs(), latencyBytes);
}

// Consumes one buffer per buffer duration on an absolute schedule, so the clock keeps real
// time on average however late single wake-ups are. Like a device it runs one buffer
// ahead of what counts as heard (latencyBytes), starting one period early so that the
// position is 0 at the start: a wake-up that comes late by less than a buffer then never
// holds the clock at the end of the music handed so far.
static void runSilentClock(MusicOutput* o) {
    using namespace std::chrono;
    std::vector<uint8_t> scratch(static_cast<size_t>(kBufferBytes));
    const nanoseconds period(kBufferFrames * int64_t(1000000000) / 44100);
    steady_clock::time_point due = steady_clock::now() - period;
    while (!o->silentStop.load(std::memory_order_relaxed)) {
        {
            std::lock_guard<std::mutex> hold(o->silentLock);
            const int64_t dueNs = duration_cast<nanoseconds>(due.time_since_epoch()).count();
            fillBuffer(o, scratch.data(), scratch.size(), dueNs, o->latencyBytes);
        }
        due += period;
        std::this_thread::sleep_until(due);
    }
}

static bool onServer(OutputKind kind) {
    return kind == OutputKind::Pipewire || kind == OutputKind::Pulse;
}

// The server's output was lost: from now on the silent clock plays.
static void leaveServer(MusicOutput* o) {
    if (onServer(o->kind.exchange(OutputKind::Silent)))
        std::fprintf(stderr, "audio: the sound server went away; playing on a silent clock\n");
}

// The server went away mid-show: the sound it held is lost, and the silent clock carries
// on from the music handed so far, so the picture goes on. Runs with the server's output
// locked, so no further fill can come from it.
static void serverLost(void* user) {
    MusicOutput* o = static_cast<MusicOutput*>(user);
    o->latencyBytes = kBufferBytes;
    leaveServer(o);
    if (!o->silentThread.joinable()) o->silentThread = std::thread(runSilentClock, o);
}

// A PipeWire that does not run at all is no failure: `absent` keeps it off the notice.
static bool openPipewire(MusicOutput* o, bool& absent, std::string& reason) {
    o->pipewire = openPipewireOutput(serverFill, serverLost, o, absent, reason);
    return o->pipewire != nullptr;
}

static bool openPulse(MusicOutput* o, std::string& reason) {
    o->pulse = openPulseOutput(serverFill, serverLost, o, reason);
    return o->pulse != nullptr;
}

static bool openSdl(MusicOutput* o, std::string& reason) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
        return false;
    }
    SDL_AudioSpec want, have;
    SDL_zero(want);
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = deviceCallback;
    want.userdata = o;
    // No allowed changes: SDL converts to whatever the hardware takes.
    o->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (o->device == 0) {
        reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // SDL cannot say what lies beyond its own buffer: while one buffer is filled, about
    // one more is still queued for playing.
    o->latencyBytes = int64_t(have.size);
    return true;
}

MusicOutput* openSilentMusicOutput(Mp3Decoder* decoder) {
    MusicOutput* o = new MusicOutput;
    o->decoder = decoder;
    o->latencyBytes = kBufferBytes;  // replaced by the device's own when there is one
    resetMusicClock(o->clock, monotonicNs());
    return o;
}

MusicOutput* openMusicOutput(Mp3Decoder* decoder) {
    MusicOutput* o = openSilentMusicOutput(decoder);
    const OutputPlan plan = planOutputs(std::getenv("INTRO_AUDIO"));
    if (!plan.warning.empty()) std::fprintf(stderr, "%s\n", plan.warning.c_str());
    std::vector<OutputFailure> failures;
    const bool forced = plan.order.size() == 2;  // one output, then the silent clock
    for (OutputKind kind : plan.order) {
        std::string reason;
        bool absent = false;
        bool opened = true;
        switch (kind) {
        case OutputKind::Pipewire: opened = openPipewire(o, absent, reason); break;
        case OutputKind::Pulse: opened = openPulse(o, reason); break;
        case OutputKind::Sdl: opened = openSdl(o, reason); break;
        case OutputKind::Silent: break;
        }
        if (opened) {
            o->kind.store(kind);
            const std::string notice = outputNotice(failures, kind);
            if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
            break;
        }
        // Asked for by name, an absent PipeWire is worth saying.
        if (!absent || forced) failures.push_back({kind, reason});
    }
    return o;
}

bool musicOutputHasDevice(const MusicOutput* o) {
    return o->kind.load() != OutputKind::Silent;
}

// Starts the server's output from the top; false when the server has gone away.
static bool playOnServer(MusicOutput* o) {
    const OutputKind kind = o->kind.load();
    if (kind == OutputKind::Pipewire)
        lockPipewireOutput(o->pipewire);
    else
        lockPulseOutput(o->pulse);
    // The server may have gone away at any moment since it was opened.
    bool playing = o->kind.load() == kind;
    if (playing) {
        rewindMp3(o->decoder);
        resetMusicClock(o->clock, monotonicNs());
        playing = kind == OutputKind::Pipewire ? playPipewireOutput(o->pipewire)
                                               : playPulseOutput(o->pulse);
    }
    if (kind == OutputKind::Pipewire)
        unlockPipewireOutput(o->pipewire);
    else
        unlockPulseOutput(o->pulse);
    return playing;
}

void startMusicOutput(MusicOutput* o) {
    if (onServer(o->kind.load())) {
        if (playOnServer(o)) {
            o->started = true;
            return;
        }
        leaveServer(o);
    }
    if (o->device) {
        SDL_LockAudioDevice(o->device);
        rewindMp3(o->decoder);
        resetMusicClock(o->clock, monotonicNs());
        SDL_UnlockAudioDevice(o->device);
        SDL_PauseAudioDevice(o->device, 0);
        o->started = true;
        return;
    }
    {
        std::lock_guard<std::mutex> hold(o->silentLock);
        rewindMp3(o->decoder);
        resetMusicClock(o->clock, monotonicNs());
    }
    if (!o->silentThread.joinable()) o->silentThread = std::thread(runSilentClock, o);
    o->started = true;
}

int64_t musicOutputBytes(MusicOutput* o) {
    return readMusicClock(o->clock, monotonicNs());
}

void closeMusicOutput(MusicOutput* o) {
    if (!o) return;
    closePipewireOutput(o->pipewire);
    closePulseOutput(o->pulse);
    if (o->device) {
        SDL_CloseAudioDevice(o->device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    o->silentStop.store(true, std::memory_order_relaxed);
    if (o->silentThread.joinable()) o->silentThread.join();
    closeMp3(o->decoder);
    delete o;
}
