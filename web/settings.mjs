// What the page reads from its address and keeps in the browser: the moment a link
// opens at (?t=), the frozen moment (?at=), and the listener's picture offset.

// The show's last change, in seconds (beat 322); the seek bar and ?t= end there.
export const SHOW_END_SECONDS = 128.8;
// One block of the show: 8 beats at 150 beats a minute.
export const BLOCK_SECONDS = 3.2;

const OFFSET_KEY = "intro.avOffsetMs";
// The offset stays within what a device's delay could be, as the native intro's does.
const MAX_OFFSET_MS = 5000;

// The number of seconds in the address's parameter `name` (params: URLSearchParams): null
// when absent, NaN when it is not a number.
export function secondsParameter(params, name) {
    const text = params.get(name);
    if (text === null) return null;
    return text.trim() === "" ? NaN : Number(text);
}

// A link that opens this page ready to play from `seconds`: the same address with only
// ?t= changed, to a tenth of a second.
export function momentLink(href, seconds) {
    const url = new URL(href);
    url.searchParams.delete("at");
    url.searchParams.set("t", (Math.round(seconds * 10) / 10).toFixed(1));
    return url.href;
}

// The picture offset in milliseconds (positive: the picture earlier than the sound),
// 0 when none was kept or the browser keeps nothing.
export function loadOffsetMs() {
    try {
        const ms = Number(localStorage.getItem(OFFSET_KEY) ?? 0);
        return Number.isFinite(ms) && Math.abs(ms) <= MAX_OFFSET_MS ? ms : 0;
    } catch {
        return 0;
    }
}

// Keeps the offset, within its bounds, and returns what was kept.
export function saveOffsetMs(ms) {
    const kept = Math.max(-MAX_OFFSET_MS, Math.min(MAX_OFFSET_MS, Math.round(ms)));
    try {
        localStorage.setItem(OFFSET_KEY, String(kept));
    } catch {
        // A browser that keeps nothing (private mode) still uses the offset until it closes.
    }
    return kept;
}

// How the offset reads on screen.
export function offsetText(ms) {
    if (ms === 0) return "Picture in step with the sound";
    return `Picture ${Math.abs(ms)} ms ${ms > 0 ? "earlier" : "later"}`;
}
