// SDL audio: the default device of plain ALSA and other systems. SDL cannot say what lies
// beyond its own buffer, so sinks that hold much more than it show the picture early.
#include "audio/output_choice.h"
#include "audio/stream.h"

#include <SDL.h>

// Frames per device callback: about 23 ms.
static constexpr int kBufferFrames = 1024;

struct SdlOutput {
    OutputFeed feed = {};
    SDL_AudioDeviceID device = 0;
    int64_t latencyBytes = 0;  // sound still queued in front of each buffer
};

static void deviceCallback(void* user, Uint8* out, int bytes) {
    const int64_t now = monotonicNs();
    SdlOutput* s = static_cast<SdlOutput*>(user);
    s->feed.fill(s->feed.user, out, size_t(bytes), now, s->latencyBytes);
}

static void* openSdl(const OutputFeed& feed, bool&, std::string& reason) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
        return nullptr;
    }
    SdlOutput* s = new SdlOutput;
    s->feed = feed;
    SDL_AudioSpec want, have;
    SDL_zero(want);
    want.freq = kStreamRate;
    want.format = AUDIO_S16SYS;
    want.channels = kStreamChannels;
    want.samples = kBufferFrames;
    want.callback = deviceCallback;
    want.userdata = s;
    // No allowed changes: SDL converts to whatever the hardware takes.
    s->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (s->device == 0) {
        reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        delete s;
        return nullptr;
    }
    // While one buffer is filled, about one more is still queued for playing.
    s->latencyBytes = int64_t(have.size);
    return s;
}

static void lockSdl(void* output) {
    SDL_LockAudioDevice(static_cast<SdlOutput*>(output)->device);
}

static void unlockSdl(void* output) {
    SDL_UnlockAudioDevice(static_cast<SdlOutput*>(output)->device);
}

// The device was opened paused, and SDL's lock is recursive, so unpausing may take it again.
static bool playSdl(void* output) {
    SDL_PauseAudioDevice(static_cast<SdlOutput*>(output)->device, 0);
    return true;
}

static void closeSdl(void* output) {
    SdlOutput* s = static_cast<SdlOutput*>(output);
    SDL_CloseAudioDevice(s->device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    delete s;
}

const AudioOutput kSdlOutput = {"sdl", "SDL audio", openSdl, lockSdl, unlockSdl, playSdl, closeSdl};
