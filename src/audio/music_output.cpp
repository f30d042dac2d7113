#include "audio/music_output.h"

#include "audio/mp3_decoder.h"
#include "audio/music_clock.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

// Frames per device callback: about 23 ms at 44.1 kHz.
static constexpr int kBufferFrames = 1024;
static constexpr int64_t kBufferBytes = kBufferFrames * 4;

struct MusicOutput {
    Mp3Decoder* decoder = nullptr;
    MusicClock clock;
    SDL_AudioDeviceID device = 0;  // 0: the silent clock
    int64_t latencyBytes = 0;      // sound queued in front of each new device buffer
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
static void fillBuffer(MusicOutput* o, uint8_t* out, size_t bytes, int64_t nowNs) {
    const size_t music = decodeMp3(o->decoder, out, bytes & ~size_t(3));
    std::memset(out + music, 0, bytes - music);
    noteDeviceCallback(o->clock, nowNs, int64_t(bytes), int64_t(music), o->latencyBytes);
}

static void deviceCallback(void* user, Uint8* out, int bytes) {
    const int64_t now = monotonicNs();
    fillBuffer(static_cast<MusicOutput*>(user), out, size_t(bytes), now);
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
            fillBuffer(o, scratch.data(), scratch.size(), dueNs);
        }
        due += period;
        std::this_thread::sleep_until(due);
    }
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
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "audio: no output device (%s); playing on a silent clock\n",
                     SDL_GetError());
        return o;
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
        std::fprintf(stderr, "audio: no output device (%s); playing on a silent clock\n",
                     SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return o;
    }
    // While one buffer is filled, about one more is still queued for playing.
    o->latencyBytes = int64_t(have.size);
    return o;
}

bool musicOutputHasDevice(const MusicOutput* o) { return o->device != 0; }

void startMusicOutput(MusicOutput* o) {
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
    if (!o->started) o->silentThread = std::thread(runSilentClock, o);
    o->started = true;
}

int64_t musicOutputBytes(MusicOutput* o) { return readMusicClock(o->clock, monotonicNs()); }

void closeMusicOutput(MusicOutput* o) {
    if (!o) return;
    if (o->device) {
        SDL_CloseAudioDevice(o->device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    o->silentStop.store(true, std::memory_order_relaxed);
    if (o->silentThread.joinable()) o->silentThread.join();
    closeMp3(o->decoder);
    delete o;
}
