// The page around the show's frames: the canvas, the start overlay, the controls, the music
// and the clock taken from what is heard. Its states, shown as data-state on the root element:
//   loading      the module and the pictures are on their way
//   ready        the first frame (of ?t=, or of the start) and the start overlay show; a
//                gesture starts the show
//   starting     the music is being decoded and started (Escape now ends it once started)
//   playing      frames follow the heard position of the music, or a silent clock
//   paused       music and picture stand still at the moment reached
//   ended        Escape ended the show; a gesture starts it again from the beginning
//   calibrating  ?calibrate: clicks and a flash at the show's tempo for setting the offset
//   frozen       ?at=SECONDS: that one frame, no sound, no overlay
//   failed       the show cannot start; the note says why
// In every state but loading and failed, the organiser's own pictures or music (chosen or
// dropped) replace the pack's at once; data-check on the root element is "running" while
// they are loaded and checked, "done" once the panel shows what the check found.
import { FRAME_BYTES, MUSIC_FILE, fetchBytes, loadIntro } from "./module.mjs";
import { decodeTrack, musicPlayer, openAudio, resumedInTime, silentPlayer, switchedPlayer } from "./music.mjs";
import { makeOwnFiles, sortFiles } from "./own_files.mjs";
import { startCalibration } from "./calibrate.mjs";
import { makeControls } from "./controls.mjs";
import { BLOCK_SECONDS, SHOW_END_SECONDS, loadOffsetMs, momentLink, offsetText, saveOffsetMs,
         secondsParameter } from "./settings.mjs";

const OFFSET_STEP_MS = 10;
const VOLUME_STEP = 0.1;

// Puts a frame on the canvas: every pixel opaque with the frame's R, G, B.
function show(context, image, frame) {
    image.data.set(frame);
    for (let i = 3; i < FRAME_BYTES; i += 4) image.data[i] = 255;
    context.putImageData(image, 0, 0);
}

export async function runPage() {
    const root = document.documentElement;
    const canvas = document.getElementById("intro");
    const overlay = document.getElementById("start");
    const note = document.getElementById("note");
    const context = canvas.getContext("2d");
    const image = context.createImageData(64, 64);
    const params = new URLSearchParams(location.search);
    const at = secondsParameter(params, "at");
    const from = secondsParameter(params, "t");
    const calibrateView = params.has("calibrate");

    // The one record of what the page is doing; `state` moves only through enter().
    // run: the show started, { player, heard, frameRequest }, heard never decreasing
    // except by a seek. from: the moment the next start plays from.
    // music: the bytes of the track the next start plays (a promise; null when there is
    // none, musicMissing saying why), musicFile: the organiser's track ({ name, bytes }) or
    // null; owned: the organiser's files, one use at a time.
    const page = { state: "loading", intro: null, music: null, musicMissing: undefined, musicFile: null, run: null,
                   calibration: null, endAsked: false, from: 0, offsetMs: loadOffsetMs(), volume: 1,
                   muted: false, owned: Promise.resolve() };
    function enter(state) {
        page.state = state;
        root.dataset.state = state;
    }
    function fail(message) {
        note.textContent = message;
        note.hidden = false;
        enter("failed");
    }
    const refuse = (name) => fail(`?${name}= needs a number of seconds, not "${params.get(name)}".`);
    enter("loading");
    root.dataset.offsetMs = String(page.offsetMs);

    try {
        page.intro = await loadIntro("data/");
    } catch (error) {
        fail(`The show cannot start: ${error.message}`);
        throw error;
    }

    const ownFiles = makeOwnFiles((files) => {
        if (!page.intro) return;
        page.owned = page.owned.then(() => useOwnFiles(files)).catch((error) => {
            root.dataset.check = "failed";
            ownFiles.show(`problem: your files: ${error.message}\n`, []);
        });
    });
    // The music only after the pictures, so that it does not hold up the first frame.
    const musicUrl = new URL(`data/${MUSIC_FILE}`, document.baseURI);
    page.music = fetchBytes(musicUrl).catch((error) => {
        console.warn(`intro: cannot load ${musicUrl}: ${error.message}`);
        return null;
    });

    if (at !== null) {
        if (!Number.isFinite(at)) return refuse("at");
        show(context, image, page.intro.frameAt(at));
        canvas.dataset.seconds = String(at);
        return enter("frozen");
    }
    if (from !== null && !Number.isFinite(from)) return refuse("t");
    page.from = from === null ? 0 : Math.max(0, Math.min(from, SHOW_END_SECONDS));

    const controls = makeControls({ togglePause, seek, toggleMute, setVolume, copyLink, toggleFullScreen });
    controls.showLoudness(page.volume, page.muted);
    draw(page.from);
    performance.mark("intro-first-frame");
    if (calibrateView) document.getElementById("start-what").textContent = "start the clicks for calibration";
    overlay.hidden = false;
    enter("ready");

    // The organiser's files replace the pack's pictures and the music, are checked as
    // intro-render --check checks a folder, and show at once: the frame on screen is drawn
    // again, and a running show goes on with the new music from where it is.
    async function useOwnFiles(files) {
        root.dataset.check = "running";
        const sorted = await sortFiles(files, page.intro.pictureNames, MUSIC_FILE);
        if (sorted.music) page.musicFile = sorted.music;
        const defaultBytes = page.musicFile ? null : await page.music;
        const music = page.musicFile ?? (defaultBytes && { name: MUSIC_FILE, bytes: defaultBytes });
        const result = await page.intro.replace(sorted.pictures, music, decodeTrack);
        redraw();
        if (sorted.music) {
            // A track the intro cannot read is not played here either.
            const playable = result.musicReadable ? sorted.music.bytes : null;
            page.music = Promise.resolve(playable);
            page.musicMissing = `the intro cannot read ${sorted.music.name}`;
            await switchMusic(playable);
        }
        const unchecked = music ? "" : `problem: music: data/${MUSIC_FILE} could not be fetched, so it is not checked\n`;
        ownFiles.show(unchecked + result.report, sorted.ignored);
        root.dataset.check = "done";
    }

    // The frame on screen again, from the pictures loaded now.
    function redraw() {
        if (page.state === "frozen") show(context, image, page.intro.frameAt(at));
        else if (page.state === "ready" || page.state === "ended") draw(page.from);
        else if (page.state === "paused") draw(page.run.heard);
        // playing: the next frame comes from them anyway
    }

    // A started show goes on with the new music from the moment heard; without sound it
    // keeps its silent clock.
    async function switchMusic(musicBytes) {
        const run = page.run;
        if (!run || run.player.clock !== "audio") return;
        let player;
        try {
            player = await switchedPlayer(run.player, musicBytes, page.musicMissing);
        } catch (error) {
            note.textContent = `No sound (${error.message}): the show runs on a silent clock.`;
            note.hidden = false;
            player = silentPlayer();
        }
        if (page.run !== run) return player.close();  // ended meanwhile
        player.loudness(page.volume, page.muted);
        run.player = player;
        root.dataset.clock = player.clock;
        if (page.state === "playing") player.play(run.heard);
    }

    // The frame of a heard moment, moved by the offset and by lead seconds; never before
    // the start.
    function draw(heard, lead = 0) {
        const moment = Math.max(heard + lead + page.offsetMs / 1000, 0);
        show(context, image, page.intro.frameAt(moment));
        canvas.dataset.seconds = String(moment);
        controls.showMoment(heard);
    }

    // One frame at the heard position: never backwards, whatever the output timestamps
    // do, and no earlier than the moment played from until that is heard. A frame stays on
    // screen for one refresh (measured between animation frames), so it shows the moment
    // in the middle of that time: a change is seen on average with its sound.
    function tick(now = performance.now()) {
        const run = page.run;
        if (run.lastFrameMs !== undefined) {
            const interval = Math.min(Math.max(now - run.lastFrameMs, 1000 / 240), 1000 / 30);
            run.refreshMs = run.refreshMs === undefined ? interval : 0.9 * run.refreshMs + 0.1 * interval;
        }
        run.lastFrameMs = now;
        run.heard = Math.max(run.player.heard(), run.heard);
        draw(run.heard, (run.refreshMs ?? 1000 / 60) / 2000);
        run.frameRequest = requestAnimationFrame(tick);
    }

    async function start() {
        if (page.state !== "ready" && page.state !== "ended") return;
        const opened = openAudio();
        enter("starting");
        page.endAsked = false;
        overlay.hidden = true;
        canvas.classList.remove("ended");
        note.hidden = true;
        if (calibrateView) return calibrate(opened);
        let player;
        try {
            player = await musicPlayer(opened, await page.music, page.musicMissing);
        } catch (error) {
            note.textContent = `No sound (${error.message}): the show runs on a silent clock.`;
            note.hidden = false;
            player = silentPlayer();
        }
        player.loudness(page.volume, page.muted);
        player.play(page.from);
        page.run = { player, heard: page.from, frameRequest: 0 };
        page.from = 0;
        root.dataset.clock = player.clock;
        controls.showPaused(false);
        enter("playing");
        tick();
        if (page.endAsked) end();
    }

    async function calibrate(opened) {
        try {
            if (opened.problem) throw new Error(opened.problem);
            await resumedInTime(opened);
            page.calibration = startCalibration(opened.context, document.getElementById("flash"), () => page.offsetMs);
        } catch (error) {
            return fail(`Calibration needs sound: ${error.message}`);
        }
        note.textContent = "Tap T along with the clicks, or move the flash with [ and ] until it agrees with them";
        note.hidden = false;
        enter("calibrating");
        if (page.endAsked) end();
    }

    function togglePause() {
        if (page.state === "playing") {
            cancelAnimationFrame(page.run.frameRequest);
            page.run.player.stop();
            // The frame now stays: the moment heard, without a running frame's lead.
            draw(page.run.heard);
            controls.showPaused(true);
            enter("paused");
        } else if (page.state === "paused") {
            page.run.player.play(page.run.heard);
            controls.showPaused(false);
            enter("playing");
            tick();
        }
    }

    // To a moment of the show: the music restarts there when playing; paused, the picture
    // goes there and waits.
    function seek(seconds) {
        if (page.state !== "playing" && page.state !== "paused") return;
        const moment = Math.max(0, Math.min(seconds, SHOW_END_SECONDS));
        page.run.heard = moment;
        if (page.state === "playing") page.run.player.play(moment);
        draw(moment);
    }

    function setVolume(volume) {
        page.volume = Math.max(0, Math.min(volume, 1));
        page.muted = false;
        page.run?.player.loudness(page.volume, page.muted);
        controls.showLoudness(page.volume, page.muted);
        controls.say(`Volume ${Math.round(page.volume * 100)}%`);
    }

    function toggleMute() {
        page.muted = !page.muted;
        page.run?.player.loudness(page.volume, page.muted);
        controls.showLoudness(page.volume, page.muted);
        controls.say(page.muted ? "Muted" : `Volume ${Math.round(page.volume * 100)}%`);
    }

    function moveOffset(ms) {
        page.offsetMs = saveOffsetMs(ms);
        root.dataset.offsetMs = String(page.offsetMs);
        controls.say(offsetText(page.offsetMs));
        if (page.state === "paused") draw(page.run.heard);
        if (page.state === "ready") draw(page.from);
    }

    function copyLink() {
        const heard = page.run ? page.run.heard : page.from;
        const link = momentLink(location.href, heard);
        navigator.clipboard.writeText(link).then(() => controls.say("Link to this moment copied"),
                                                   () => controls.say(link));
    }

    function end() {
        if (page.state === "starting") page.endAsked = true;
        if (page.state === "calibrating") {
            page.calibration.stop();
            page.calibration = null;
            note.hidden = true;
        } else if (page.state === "playing" || page.state === "paused") {
            cancelAnimationFrame(page.run.frameRequest);
            page.run.player.close();
            page.run = null;
            canvas.classList.add("ended");
        } else {
            return;
        }
        overlay.hidden = false;
        enter("ended");
    }

    function toggleFullScreen() {
        if (document.fullscreenElement) document.exitFullscreen();
        else root.requestFullscreen?.().catch(() => {});
    }

    function tap() {
        const suggested = page.calibration.tap();
        if (suggested !== null) moveOffset(suggested);
    }

    // A click or Space starts the show, then pauses and resumes it.
    function gesture() {
        if (page.state === "ready" || page.state === "ended") start();
        else if (page.state === "calibrating") tap();
        else togglePause();
    }

    // A focused control keeps its own keys: Space and Enter press a button, the arrows and
    // Home move a slider.
    const sliderKeys = new Set(["ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown", "Home", "End"]);
    function controlsOwn(event) {
        const tag = event.target.tagName;
        if (tag === "BUTTON") return event.key === " " || event.key === "Enter";
        return tag === "INPUT" && sliderKeys.has(event.key);
    }
    const keys = {
        "Enter": start,
        " ": gesture,
        "t": () => page.state === "calibrating" && tap(),
        "ArrowLeft": () => page.run && seek(page.run.heard - BLOCK_SECONDS),
        "ArrowRight": () => page.run && seek(page.run.heard + BLOCK_SECONDS),
        "Home": () => seek(0),
        "ArrowUp": () => setVolume(page.volume + VOLUME_STEP),
        "ArrowDown": () => setVolume(page.volume - VOLUME_STEP),
        "m": toggleMute,
        "[": () => moveOffset(page.offsetMs + OFFSET_STEP_MS),
        "]": () => moveOffset(page.offsetMs - OFFSET_STEP_MS),
        "f": toggleFullScreen,
        "Escape": end,
    };
    document.addEventListener("click", gesture);
    document.addEventListener("dblclick", toggleFullScreen);
    document.addEventListener("keydown", (event) => {
        const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
        if (controlsOwn(event)) return;
        const action = keys[key];
        if (!action) return;
        event.preventDefault();
        action();
    });
}
