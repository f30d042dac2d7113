// The page as a player, in Chromium (driven by chromium.mjs): the keys move the moment as
// they say and the canvas always holds the module's frame of the moment the page reports;
// ?t= links open at their moment; the picture offset moves the frame and is kept, set by
// keys or by the calibration view; and the browser's decoding of the track starts at the
// sample our reader starts at, once the page's correction is applied.
import { execFileSync } from "node:child_process";

const state = (page) => page.evaluate(() => document.documentElement.dataset.state);
const waitFor = (page, wanted) => page.waitForFunction((s) => document.documentElement.dataset.state === s, wanted,
                                                       { timeout: 20000 });

// The moment the page reports and whether the canvas holds exactly the module's frame of it,
// read together, so that no frame is drawn in between.
async function shown(page) {
    return page.evaluate(async () => {
        if (!window.checkIntro) {
            const { loadIntro } = await import("./module.mjs");
            window.checkIntro = await loadIntro("data/");
        }
        const canvas = document.getElementById("intro");
        const seconds = parseFloat(canvas.dataset.seconds);
        const pixels = canvas.getContext("2d").getImageData(0, 0, 64, 64).data;
        const frame = window.checkIntro.frameAt(seconds);
        let differing = 0;
        for (let p = 0; p < pixels.length; p += 4) {
            if (pixels[p] !== frame[p] || pixels[p + 1] !== frame[p + 1] || pixels[p + 2] !== frame[p + 2]) ++differing;
        }
        return { seconds, differing };
    });
}

// Space starts, pauses and resumes; → and ← move one block, Home to the start; the frame
// always matches the moment; the volume and mute keys answer; the bar comes and goes.
export async function playerControls({ openPage, check }) {
    const page = await openPage("");
    await waitFor(page, "ready");
    await page.keyboard.press(" ");
    await waitFor(page, "playing");
    await page.waitForTimeout(500);

    const before = await shown(page);
    await page.keyboard.press("ArrowRight");
    await page.waitForTimeout(300);
    const after = await shown(page);
    const jump = after.seconds - before.seconds;
    check(jump > 3.0 && jump < 4.6 && after.differing === 0,
          `→ jumps one block: ${before.seconds.toFixed(2)} s to ${after.seconds.toFixed(2)} s, ${after.differing} pixels off`);
    await page.waitForTimeout(500);
    const onward = await shown(page);
    check(onward.seconds - after.seconds > 0.25 && onward.seconds - after.seconds < 1.5,
          `after →, the music plays on from there: ${after.seconds.toFixed(2)} s, then ${onward.seconds.toFixed(2)} s`);

    await page.keyboard.press(" ");
    await waitFor(page, "paused");
    const paused = await shown(page);
    await page.waitForTimeout(600);
    const still = await shown(page);
    check(still.seconds === paused.seconds && still.differing === 0,
          `paused, the moment stands at ${paused.seconds.toFixed(3)} s (then ${still.seconds.toFixed(3)} s)`);

    await page.keyboard.press("ArrowLeft");
    const back = await shown(page);
    check(Math.abs(paused.seconds - back.seconds - 3.2) < 1e-6 && back.differing === 0 && await state(page) === "paused",
          `paused, ← goes back one block to ${back.seconds.toFixed(3)} s and stays paused`);

    await page.keyboard.press(" ");
    await waitFor(page, "playing");
    await page.waitForTimeout(500);
    const resumed = await shown(page);
    check(resumed.seconds > back.seconds && resumed.seconds < back.seconds + 2,
          `Space resumes from the paused moment: ${back.seconds.toFixed(2)} s, then ${resumed.seconds.toFixed(2)} s`);

    await page.keyboard.press("Home");
    await page.waitForTimeout(200);
    const home = await shown(page);
    check(home.seconds < 1.0 && home.differing === 0, `Home goes to the start: ${home.seconds.toFixed(2)} s`);

    await page.keyboard.press("ArrowDown");
    const volume = await page.textContent("#message");
    await page.keyboard.press("m");
    const muted = await page.textContent("#message");
    check(volume === "Volume 90%" && muted === "Muted" && await page.isVisible("#message"),
          `↓ and M answer briefly: "${volume}", "${muted}"`);

    await page.mouse.move(100, 100);
    await page.mouse.move(120, 110);
    const up = await page.evaluate(() => document.getElementById("bar").classList.contains("shown"));
    await page.waitForTimeout(2600);
    const gone = await page.evaluate(() => document.getElementById("bar").classList.contains("shown"));
    check(up && !gone, "the bar comes up on pointer movement and goes after stillness");
    const marks = await page.$$eval("#blocks option", (options) => options.map((o) => Number(o.value)));
    check(marks.length === 42 && marks[1] === 3.2 && marks[marks.length - 1] === 128.8,
          `the seek bar marks the ${marks.length} block boundaries up to the end`);

    // A click on the bar's button pauses as Space does; the page's own click does not add to it.
    await page.mouse.move(120, 120);
    await page.click("#play");
    check(await state(page) === "paused", "the bar's button pauses");
    // Space on the focused button presses it once, not once more as the page's own key;
    // the arrows still seek from there.
    await page.focus("#play");
    await page.keyboard.press(" ");
    const onButton = await shown(page);
    await page.keyboard.press("ArrowRight");
    const moved = await shown(page);
    check(await state(page) === "playing" && moved.seconds - onButton.seconds > 3.0 &&
          moved.seconds - onButton.seconds < 4.2, "with a bar button focused, Space resumes once and → seeks");
    await page.close();
}

// ?t=40 opens ready at 40 s and plays from there; the copy-link button gives a link to
// the moment reached, which opens there; ?t=soon is refused.
export async function momentLinks({ openPage, context, origin, check }) {
    const page = await openPage("?t=40");
    await waitFor(page, "ready");
    const ready = await shown(page);
    check(ready.seconds === 40 && ready.differing === 0, `?t=40 waits at ${ready.seconds} s`);
    await page.keyboard.press(" ");
    await waitFor(page, "playing");
    await page.waitForTimeout(500);
    const playing = await shown(page);
    check(playing.seconds >= 40 && playing.seconds < 42, `?t=40 plays from there: ${playing.seconds.toFixed(2)} s`);

    await context.grantPermissions(["clipboard-read", "clipboard-write"], { origin });
    await page.keyboard.press(" ");
    await waitFor(page, "paused");
    const moment = (await shown(page)).seconds;
    await page.mouse.move(100, 100);
    await page.click("#link");
    await page.waitForFunction(() => document.getElementById("message").textContent.includes("copied"));
    const link = await page.evaluate(() => navigator.clipboard.readText());
    const t = Number(new URL(link).searchParams.get("t"));
    check(Math.abs(t - moment) <= 0.05, `the copied link ${link} is the moment ${moment.toFixed(2)} s`);
    await page.goto(link);
    await waitFor(page, "ready");
    check(Math.abs((await shown(page)).seconds - t) < 1e-9, "the copied link opens at its moment");

    await page.goto(`${origin}/?t=soon`);
    await waitFor(page, "failed");
    check((await page.textContent("#note")).includes('not "soon"'), "?t=soon is refused");
    await page.close();
}

// [ and ] move the frame 10 ms either way, at once even while paused, and the offset
// outlives a reload; it is left at 0 for the other checks.
export async function avOffset({ openPage, check }) {
    const page = await openPage("");
    await waitFor(page, "ready");
    await page.keyboard.press(" ");
    await waitFor(page, "playing");
    await page.keyboard.press(" ");
    await waitFor(page, "paused");
    const before = await shown(page);
    await page.keyboard.press("[");
    await page.keyboard.press("[");
    const earlier = await shown(page);
    const message = await page.textContent("#message");
    check(Math.abs(earlier.seconds - before.seconds - 0.02) < 1e-9 && earlier.differing === 0 &&
          message === "Picture 20 ms earlier", `[ [ shows the frame 20 ms on: "${message}"`);
    await page.keyboard.press("]");
    const later = await shown(page);
    check(Math.abs(later.seconds - before.seconds - 0.01) < 1e-9, "] takes 10 ms back");

    await page.reload();
    await waitFor(page, "ready");
    const kept = await page.evaluate(() => document.documentElement.dataset.offsetMs);
    check(kept === "10", `the offset outlives a reload: ${kept} ms`);
    await page.keyboard.press("]");
    const reset = await page.evaluate(() => localStorage.getItem("intro.avOffsetMs"));
    check(reset === "0", "] on the ready page keeps the offset too");
    await page.close();
}

// Frames of the default track as Chromium decodes it against our reader's, lined up by
// cross-correlation of the left channel: the lag the page corrects by must be the lag
// measured (to a frame), and the match must be a real one.
export async function decoderOffset({ openPage, check, args }) {
    const rate = 44100;
    const frames = 3 * rate;
    const raw = execFileSync(args.pcm, [`${args.site}/data/vorb_06_mp3.mp3`, String(frames)],
                             { maxBuffer: frames * 4 + 1024 });
    const ours = new Float32Array(raw.length / 4);
    for (let i = 0; i < ours.length; ++i) ours[i] = raw.readInt16LE(i * 4) / 32768;
    const page = await openPage("?at=0");
    const browser = await page.evaluate(async (frames) => {
        const bytes = await (await fetch("data/vorb_06_mp3.mp3")).arrayBuffer();
        const decoded = await new OfflineAudioContext(2, 1, 44100).decodeAudioData(bytes);
        const { DECODED_LEAD_FRAMES } = await import("./music.mjs");
        return { rate: decoded.sampleRate, left: Array.from(decoded.getChannelData(0).subarray(0, frames)),
                 lead: DECODED_LEAD_FRAMES };
    }, frames);
    await page.close();

    const maxLag = 4096;
    const length = rate / 2;
    const sound = ours.findIndex((s) => Math.abs(s) > 0.01);
    const from = Math.max(sound, maxLag);
    if (sound < 0 || from + length + maxLag > Math.min(ours.length, browser.left.length)) {
        check(false, `decoder offset: too little sound in the first ${frames} frames to line up`);
        return;
    }
    const theirs = Float32Array.from(browser.left);
    const energy = (signal, start) => Math.sqrt(signal.subarray(start, start + length).reduce((e, s) => e + s * s, 0));
    const ourEnergy = energy(ours, from);
    let best = { lag: 0, score: -Infinity };
    for (let lag = -maxLag; lag <= maxLag; ++lag) {
        let sum = 0;
        for (let i = 0; i < length; ++i) sum += ours[from + i] * theirs[from + lag + i];
        const score = sum / (ourEnergy * energy(theirs, from + lag) || 1);
        if (score > best.score) best = { lag, score };
    }
    console.log(`measure: Chromium's decoding of the track leads our reader's by ${best.lag} frames ` +
                `(${(best.lag / rate * 1000).toFixed(2)} ms), correlation ${best.score.toFixed(4)}`);
    check(browser.rate === rate && best.score > 0.95,
          `decoder offset: the two decodings match (correlation ${best.score.toFixed(4)} at ${best.lag} frames)`);
    check(Math.abs(best.lag - browser.lead) <= 1,
          `decoder offset: the page corrects by ${browser.lead} frames, measured ${best.lag}`);
}

// ?calibrate: a gesture starts the clicks and the flash blinks with them; a tap sets an
// offset no larger than half a beat and [ moves it from there; Escape ends the clicks.
export async function calibration({ openPage, check }) {
    const page = await openPage("?calibrate");
    await waitFor(page, "ready");
    await page.keyboard.press(" ");
    await waitFor(page, "calibrating");
    const lit = await page.evaluate(async () => {
        const seen = new Set();
        const until = performance.now() + 1200;
        while (performance.now() < until) {
            seen.add(document.getElementById("flash").classList.contains("lit"));
            await new Promise(requestAnimationFrame);
        }
        return [...seen];
    });
    check(lit.length === 2, `calibration: the flash blinks (seen ${lit.join(" and ")})`);
    await page.keyboard.press("t");
    const tapped = Number(await page.evaluate(() => document.documentElement.dataset.offsetMs));
    await page.keyboard.press("[");
    const nudged = Number(await page.evaluate(() => localStorage.getItem("intro.avOffsetMs")));
    check(Math.abs(tapped) <= 200 && nudged === tapped + 10,
          `calibration: a tap sets ${tapped} ms, [ makes it ${nudged} ms, kept`);
    await page.keyboard.press("Escape");
    await waitFor(page, "ended");
    const dark = await page.evaluate(() => !document.getElementById("flash").classList.contains("lit"));
    check(dark, "calibration: Escape ends the clicks and the flash");
    await page.evaluate(() => localStorage.setItem("intro.avOffsetMs", "0"));
    await page.close();
}
