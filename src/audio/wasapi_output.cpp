// WASAPI in shared mode: the default output device of Windows, the stream's 44.1 kHz 16-bit
// stereo converted by the audio engine to its own format. The engine's clock tells which
// sample is at the speakers and when (IAudioClock::GetPosition with its performance-counter
// time), which places the music clock on the heard sound, as a sound server's latency does.
#include "audio/music_clock.h"
#include "audio/output_choice.h"
#include "audio/stream.h"

#include <windows.h>

#include <audioclient.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// The engine's buffer asked for, in units of 100 ns: 40 ms, refilled at each of its
// periods (about 10 ms) when the engine signals.
constexpr REFERENCE_TIME kBufferDuration = 400000;

// Shared mode with the format converted by the engine (Windows 7 and later).
#ifndef AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM
#define AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM 0x80000000
#endif
#ifndef AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY
#define AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY 0x08000000
#endif

struct WasapiOutput {
    OutputFeed feed = {};
    std::mutex lock;  // held by every fill and loss call
    IAudioClient* client = nullptr;
    IAudioRenderClient* render = nullptr;
    IAudioClock* clock = nullptr;
    HANDLE bufferEvent = nullptr;  // the engine signals room in its buffer
    UINT32 bufferFrames = 0;
    UINT64 clockFrequency = 0;  // GetPosition's units per second
    std::thread thread;
    std::atomic<bool> stop{false};
    // With the lock held.
    bool started = false;
    bool lost = false;
    int64_t handedBytes = 0;  // since the last play
};

template <typename T>
void release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

// The failed step and what the system says of result.
std::string failure(const char* step, HRESULT result) {
    const char* meaning = nullptr;
    switch (result) {
    case AUDCLNT_E_DEVICE_INVALIDATED: meaning = "the device was removed"; break;
    case AUDCLNT_E_SERVICE_NOT_RUNNING: meaning = "the Windows audio service is not running"; break;
    case AUDCLNT_E_UNSUPPORTED_FORMAT: meaning = "the device refuses 44.1 kHz 16-bit stereo"; break;
    case AUDCLNT_E_DEVICE_IN_USE: meaning = "the device is in exclusive use"; break;
    case E_INVALIDARG: meaning = "invalid argument"; break;
    case E_OUTOFMEMORY: meaning = "out of memory"; break;
    default: break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
    return std::string(step) + (meaning ? std::string(": ") + meaning : "") + " (" + code + ")";
}

// Sound handed before and not yet at the speakers, at the time the engine read its
// position, which becomes nowNs; unknown when it cannot say.
int64_t queuedBytes(WasapiOutput* w, int64_t& nowNs) {
    UINT64 position = 0, counterTime = 0;
    nowNs = monotonicNs();
    if (w->clockFrequency == 0 || FAILED(w->clock->GetPosition(&position, &counterTime)))
        return kLatencyUnknown;
    // The performance counter in units of 100 ns: monotonicNs's clock.
    if (counterTime != 0) nowNs = int64_t(counterTime) * 100;
    const double heard =
        double(position) * double(kMusicBytesPerSecond) / double(w->clockFrequency);
    return w->handedBytes - std::llround(heard);
}

// The engine's playback ended under us (a device unplugged, the audio service stopped): the
// feed is told once and nothing more is filled.
void markLost(WasapiOutput* w) {
    if (w->lost) return;
    w->lost = true;
    w->feed.lost(w->feed.user);
}

// Fills whatever room the engine's buffer has. With the lock held.
HRESULT fillRoom(WasapiOutput* w, bool queuedKnown) {
    UINT32 padding = 0;
    HRESULT result = w->client->GetCurrentPadding(&padding);
    if (FAILED(result)) return result;
    const UINT32 frames = w->bufferFrames - padding;
    if (frames == 0) return S_OK;
    BYTE* data = nullptr;
    result = w->render->GetBuffer(frames, &data);
    if (FAILED(result)) return result;
    int64_t nowNs = 0;
    const int64_t queued = queuedKnown ? queuedBytes(w, nowNs) : (nowNs = monotonicNs(), 0);
    const size_t bytes = size_t(frames) * kStreamBytesPerFrame;
    w->feed.fill(w->feed.user, data, bytes, nowNs, queued);
    w->handedBytes += int64_t(bytes);
    return w->render->ReleaseBuffer(frames, 0);
}

void runEngineFeed(WasapiOutput* w) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    while (!w->stop.load()) {
        WaitForSingleObject(w->bufferEvent, 200);
        std::lock_guard<std::mutex> hold(w->lock);
        if (w->started && !w->lost && FAILED(fillRoom(w, true))) markLost(w);
    }
    CoUninitialize();
}

void closeWasapi(void* output) {
    WasapiOutput* w = static_cast<WasapiOutput*>(output);
    if (w->thread.joinable()) {
        w->stop.store(true);
        SetEvent(w->bufferEvent);
        w->thread.join();
    }
    if (w->client) w->client->Stop();
    release(w->clock);
    release(w->render);
    release(w->client);
    if (w->bufferEvent) CloseHandle(w->bufferEvent);
    delete w;
}

HRESULT initializeClient(IAudioClient* client) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kStreamChannels;
    format.nSamplesPerSec = kStreamRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kStreamBytesPerFrame;
    format.nAvgBytesPerSec = DWORD(kMusicBytesPerSecond);
    const DWORD flags = AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_NOPERSIST;
    const DWORD convert =
        AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
    HRESULT result = client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags | convert, kBufferDuration,
                                        0, &format, nullptr);
    // An engine that does not know the conversion flags may still take the format as it is.
    if (result == E_INVALIDARG)
        result = client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, kBufferDuration, 0, &format,
                                    nullptr);
    return result;
}

void* openWasapi(const OutputFeed& feed, bool&, std::string& reason) {
    // Either apartment serves: the objects below are free-threaded.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IMMDeviceEnumerator* devices = nullptr;
    IMMDevice* device = nullptr;
    WasapiOutput* w = new WasapiOutput;
    w->feed = feed;
    HRESULT result =
        CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                         __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices));
    const char* step = "no device enumerator";
    if (SUCCEEDED(result)) {
        step = "no default output device";
        result = devices->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    }
    if (SUCCEEDED(result)) {
        step = "cannot activate the device";
        result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                  reinterpret_cast<void**>(&w->client));
    }
    if (SUCCEEDED(result)) {
        step = "cannot open a shared stream";
        result = initializeClient(w->client);
    }
    if (SUCCEEDED(result)) {
        step = "cannot set up the stream";
        w->bufferEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        result = w->bufferEvent ? w->client->SetEventHandle(w->bufferEvent) : E_OUTOFMEMORY;
    }
    if (SUCCEEDED(result)) result = w->client->GetBufferSize(&w->bufferFrames);
    if (SUCCEEDED(result))
        result = w->client->GetService(__uuidof(IAudioRenderClient),
                                       reinterpret_cast<void**>(&w->render));
    if (SUCCEEDED(result))
        result = w->client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&w->clock));
    if (SUCCEEDED(result)) result = w->clock->GetFrequency(&w->clockFrequency);
    release(device);
    release(devices);
    if (FAILED(result)) {
        reason = failure(step, result);
        closeWasapi(w);
        return nullptr;
    }
    w->thread = std::thread(runEngineFeed, w);
    return w;
}

void lockWasapi(void* output) {
    static_cast<WasapiOutput*>(output)->lock.lock();
}

void unlockWasapi(void* output) {
    static_cast<WasapiOutput*>(output)->lock.unlock();
}

// Drops what the engine holds, fills its whole buffer from the rewound stream (nothing is
// queued in front of it) and starts. With the lock held.
bool playWasapi(void* output) {
    WasapiOutput* w = static_cast<WasapiOutput*>(output);
    if (w->lost) return false;
    if (w->started) {
        w->client->Stop();
        w->client->Reset();
        w->started = false;
    }
    w->handedBytes = 0;
    if (FAILED(fillRoom(w, false)) || FAILED(w->client->Start())) {
        w->lost = true;
        return false;
    }
    w->started = true;
    return true;
}

}  // namespace

const AudioOutput kWasapiOutput = {"wasapi",     "WASAPI",   openWasapi, lockWasapi,
                                   unlockWasapi, playWasapi, closeWasapi};
