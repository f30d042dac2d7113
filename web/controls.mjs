// The control bar and the brief messages: the bar comes up on pointer movement, a touch or
// keyboard focus and goes after 2 s of stillness (not while the keyboard is in it); its
// buttons and seek bar call back into the page, which owns every decision.
import { BLOCK_SECONDS, SHOW_END_SECONDS } from "./settings.mjs";

const STILL_MS = 2000;
const MESSAGE_MS = 1500;

// actions: { togglePause, seek(seconds), toggleMute, setVolume(volume), copyLink, toggleFullScreen }
export function makeControls(actions) {
    const bar = document.getElementById("bar");
    const play = document.getElementById("play");
    const seek = document.getElementById("seek");
    const mute = document.getElementById("mute");
    const volume = document.getElementById("volume");
    const message = document.getElementById("message");
    let barTimer = 0;
    let messageTimer = 0;

    // The scene boundaries: every block of the show, up to its end, as marks on the bar.
    const marks = document.getElementById("blocks");
    for (let block = 0; block * BLOCK_SECONDS < SHOW_END_SECONDS; ++block) {
        marks.append(new Option("", (block * BLOCK_SECONDS).toFixed(1)));
    }
    marks.append(new Option("", String(SHOW_END_SECONDS)));
    seek.max = String(SHOW_END_SECONDS);

    function reveal() {
        bar.classList.add("shown");
        clearTimeout(barTimer);
        barTimer = setTimeout(() => {
            // Focus a keyboard gave keeps the bar; a button merely clicked does not.
            if (!bar.querySelector(":focus-visible")) bar.classList.remove("shown");
        }, STILL_MS);
    }
    for (const type of ["pointermove", "touchstart"]) document.addEventListener(type, reveal, { passive: true });
    bar.addEventListener("focusin", reveal);
    // A click on the bar is the bar's, not the page's pause.
    bar.addEventListener("click", (event) => event.stopPropagation());
    bar.addEventListener("dblclick", (event) => event.stopPropagation());

    play.addEventListener("click", actions.togglePause);
    seek.addEventListener("input", () => actions.seek(Number(seek.value)));
    mute.addEventListener("click", actions.toggleMute);
    volume.addEventListener("input", () => actions.setVolume(Number(volume.value)));
    document.getElementById("link").addEventListener("click", actions.copyLink);
    document.getElementById("full").addEventListener("click", actions.toggleFullScreen);

    return {
        // The heard moment on the seek bar, unless the listener is dragging it.
        showMoment(seconds) {
            if (document.activeElement !== seek) seek.value = String(Math.min(seconds, SHOW_END_SECONDS));
        },
        showPaused(paused) {
            play.textContent = paused ? "▶" : "❚❚";
            play.setAttribute("aria-label", paused ? "Play" : "Pause");
        },
        showLoudness(level, muted) {
            volume.value = String(level);
            mute.textContent = muted ? "🔇" : "🔊";
            mute.setAttribute("aria-label", muted ? "Sound on" : "Mute");
        },
        // A line shown for a moment (volume, offset, a copied link).
        say(text) {
            message.textContent = text;
            message.hidden = false;
            clearTimeout(messageTimer);
            messageTimer = setTimeout(() => { message.hidden = true; }, MESSAGE_MS);
        },
    };
}
