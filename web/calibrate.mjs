// The calibration view: clicks at the show's tempo (150 beats a minute), made by
// oscillators, and a flash on every beat as the picture would show it with the offset.
// The listener taps along with the clicks they hear, which places the sound, or nudges
// the offset with [ ] until flash and click agree.
import { heardContextTime } from "./music.mjs";

const BEAT_SECONDS = 60 / 150;
const CLICK_SECONDS = 0.03;
const FLASH_SECONDS = 0.1;
const AHEAD_SECONDS = 0.5;  // clicks are scheduled this far ahead of the context's time
const TAPS_KEPT = 8;

// Starts the clicks in the opened, running context; flash is the element lit on each beat,
// offsetMs() the offset in force. Returns { tap() → the offset the taps suggest, in ms,
// or null before the first beat; stop() }.
export function startCalibration(context, flash, offsetMs) {
    const origin = context.currentTime + 0.2;
    let scheduled = 0;  // beats scheduled so far
    let frameRequest = 0;
    const taps = [];

    function click(at) {
        const tone = context.createOscillator();
        const envelope = context.createGain();
        tone.frequency.value = 1000;
        envelope.gain.setValueAtTime(0.5, at);
        envelope.gain.exponentialRampToValueAtTime(0.001, at + CLICK_SECONDS);
        tone.connect(envelope).connect(context.destination);
        tone.start(at);
        tone.stop(at + CLICK_SECONDS);
    }

    function frame() {
        while (origin + scheduled * BEAT_SECONDS < context.currentTime + AHEAD_SECONDS) {
            click(origin + scheduled * BEAT_SECONDS);
            ++scheduled;
        }
        // The picture's moment: the heard one moved by the offset, as in the show.
        const shown = heardContextTime(context) - origin + offsetMs() / 1000;
        const intoBeat = shown - Math.floor(shown / BEAT_SECONDS) * BEAT_SECONDS;
        flash.classList.toggle("lit", shown >= 0 && intoBeat < FLASH_SECONDS);
        frameRequest = requestAnimationFrame(frame);
    }
    frame();

    return {
        // A tap on a heard click: how far after the beat the click was heard, averaged over
        // the last taps. Sound heard that much after the clock's beat means the picture,
        // drawn at the clock, must come that much later: the offset is its negative.
        tap() {
            const heard = heardContextTime(context) - origin;
            const beat = Math.round(heard / BEAT_SECONDS);
            if (beat < 0) return null;
            taps.push(heard - beat * BEAT_SECONDS);
            if (taps.length > TAPS_KEPT) taps.shift();
            const mean = taps.reduce((sum, t) => sum + t, 0) / taps.length;
            return Math.round(-mean * 1000);
        },
        stop() {
            cancelAnimationFrame(frameRequest);
            flash.classList.remove("lit");
            context.close();
        },
    };
}
