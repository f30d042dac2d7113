// The show's clock in the page: the music through Web Audio, or, where there is no sound,
// a silent clock in real time. Both are players with the same operations:
//   play(seconds)   sound (or time) runs on from that moment of the show
//   stop()          nothing more is heard; play() picks up again from any moment
//   heard()         the moment of the show being heard now, in seconds; just after play()
//                   it may still lie before that moment, until the first sound comes out
//   loudness(volume, muted)   volume from 0 to 1
//   close()         the player is done with
// Seeking is play() at another moment; pausing is stop() and, later, play() at the moment
// the page remembered.
import { MUSIC_FILE } from "./module.mjs";

// Frames (at the track's 44100 Hz) by which the browser's decoding of our track runs
// ahead of our own MP3 reader's: its frame n + DECODED_LEAD_FRAMES is our frame n, the
// sample the show calls second 0. Chromium, like our reader, drops the encoder's delay
// that the track's info tag records, so this is 0; the Chromium test measures it against
// the native reader by cross-correlation and fails when it changes.
export const DECODED_LEAD_FRAMES = 0;
const TRACK_RATE = 44100;

// The context time now being output: the output timestamp moved on by the time since it
// was taken, or, where the browser has no timestamp yet, the context time less the output
// latency.
export function heardContextTime(context) {
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    if (stamp && stamp.performanceTime > 0) {
        return stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
    }
    return context.currentTime - (context.outputLatency || 0);
}

// A browser with no audio output at all may never let its context run (Firefox without a
// sound server): after this long the show goes on without sound.
const RESUME_LIMIT_MS = 3000;

// opened.resumed, or a failure when the context has not started within RESUME_LIMIT_MS.
export function resumedInTime(opened) {
    let timer;
    const late = new Promise((_, failed) => {
        timer = setTimeout(() => failed(new Error("the audio output did not start")), RESUME_LIMIT_MS);
    });
    return Promise.race([opened.resumed, late]).finally(() => clearTimeout(timer));
}

// Makes an audio context and asks it to run: called straight from a gesture's handler,
// before anything is awaited, as some browsers demand.
export function openAudio() {
    const Context = globalThis.AudioContext || globalThis.webkitAudioContext;
    if (!Context) return { problem: "this browser has no Web Audio" };
    try {
        const context = new Context();
        return { context, resumed: context.resume() };
    } catch (error) {
        return { problem: error.message };
    }
}

// The music decoded in the opened context, as a player; throws when sound cannot start
// (the context is then closed).
// missing: why there are no musicBytes.
export async function musicPlayer(opened, musicBytes, missing = `data/${MUSIC_FILE} could not be fetched`) {
    if (opened.problem) throw new Error(opened.problem);
    const context = opened.context;
    try {
        if (!musicBytes) throw new Error(missing);
        await resumedInTime(opened);
        const buffer = await context.decodeAudioData(musicBytes.slice().buffer);
        if (context.state !== "running") throw new Error(`audio is ${context.state}`);
        return bufferPlayer(context, buffer);
    } catch (error) {
        context.close();
        throw error;
    }
}

// The track decoded at the show's 44100 Hz without playing it, for the check: { channels:
// [Float32Array, ...] (one or two), seconds }, from the sample our reader starts at.
export async function decodeTrack(musicBytes) {
    const Offline = globalThis.OfflineAudioContext || globalThis.webkitOfflineAudioContext;
    if (!Offline) throw new Error("this browser has no Web Audio");
    const buffer = await new Offline(2, 1, TRACK_RATE).decodeAudioData(musicBytes.slice().buffer);
    const channels = [];
    for (let c = 0; c < Math.min(buffer.numberOfChannels, 2); ++c) {
        channels.push(buffer.getChannelData(c).subarray(DECODED_LEAD_FRAMES));
    }
    return { channels, seconds: channels[0].length / TRACK_RATE };
}

// Another track for a running show: the player's context (kept running) plays it; the old
// player stops. Throws as musicPlayer does, the context then closed.
export function switchedPlayer(player, musicBytes, missing) {
    player.stop();
    return musicPlayer({ context: player.context, resumed: Promise.resolve() }, musicBytes, missing);
}

function bufferPlayer(context, buffer) {
    const gain = context.createGain();
    gain.connect(context.destination);
    const lead = DECODED_LEAD_FRAMES / TRACK_RATE;
    // Context time at which the show's second 0 is (or would have been) heard.
    let origin = 0;
    let source = null;
    const stop = () => {
        if (source) source.stop();
        source = null;
    };
    return {
        clock: "audio",
        context,
        play(seconds) {
            stop();
            source = context.createBufferSource();
            source.buffer = buffer;
            source.connect(gain);
            const now = context.currentTime;
            const offset = seconds + lead;
            // Before the buffer's first frame (only when the browser gives fewer frames
            // than we do) the sound starts that much later.
            source.start(now + Math.max(-offset, 0), Math.max(offset, 0));
            origin = now - seconds;
        },
        stop,
        heard: () => heardContextTime(context) - origin,
        loudness(volume, muted) {
            gain.gain.value = muted ? 0 : volume;
        },
        close() {
            stop();
            context.close();
        },
    };
}

// A clock in real time for when there is no sound.
export function silentPlayer() {
    const now = () => performance.now() / 1000;
    let origin = now();
    return {
        clock: "silent",
        play(seconds) {
            origin = now() - seconds;
        },
        stop() {},
        heard: () => now() - origin,
        loudness() {},
        close() {},
    };
}
