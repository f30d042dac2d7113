// The page around the show's frames: the canvas, the start overlay, the music and the
// clock taken from what is heard. Its states, shown as data-state on the root element:
//   loading   the module and the pictures are on their way
//   ready     the first frame and the start overlay show; a gesture starts the show
//   starting  the music is being decoded and started (Escape now ends it once started)
//   playing   frames follow the heard position of the music, or a silent clock
//   ended     Escape ended the show; a gesture starts it again from the beginning
//   frozen    ?at=SECONDS: that one frame, no sound, no overlay
//   failed    the show cannot start; the note says why
import { FRAME_BYTES, MUSIC_FILE, fetchBytes, loadIntro } from "./module.mjs";

// Puts a frame on the canvas: every pixel opaque with the frame's R, G, B.
function show(context, image, frame) {
    image.data.set(frame);
    for (let i = 3; i < FRAME_BYTES; i += 4) image.data[i] = 255;
    context.putImageData(image, 0, 0);
}

// The heard position of the music in seconds since its start: the context time now being
// output (its output timestamp moved on by the time since it was taken), or, where the
// browser has no timestamp yet, the context time less the output latency.
function heardSeconds(audio) {
    const stamp = audio.context.getOutputTimestamp ? audio.context.getOutputTimestamp() : null;
    let contextTime;
    if (stamp && stamp.performanceTime > 0) {
        contextTime = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
    } else {
        contextTime = audio.context.currentTime - (audio.context.outputLatency || 0);
    }
    return contextTime - audio.startedAt;
}

// Makes the audio context and asks it to run: called straight from the gesture's handler,
// before anything is awaited, as some browsers demand.
function openAudio() {
    const Context = globalThis.AudioContext || globalThis.webkitAudioContext;
    if (!Context) return { problem: "this browser has no Web Audio" };
    try {
        const context = new Context();
        return { context, resumed: context.resume() };
    } catch (error) {
        return { problem: error.message };
    }
}

// Starts the music in the opened context; resolves to the audio record, or throws when
// sound cannot start (the context is then closed).
async function startMusic(opened, musicBytes) {
    if (opened.problem) throw new Error(opened.problem);
    const context = opened.context;
    try {
        if (!musicBytes) throw new Error(`data/${MUSIC_FILE} could not be fetched`);
        await opened.resumed;
        const buffer = await context.decodeAudioData(musicBytes.slice().buffer);
        const source = context.createBufferSource();
        source.buffer = buffer;
        source.connect(context.destination);
        const startedAt = context.currentTime;
        source.start(startedAt);
        if (context.state !== "running") throw new Error(`audio is ${context.state}`);
        return { context, source, startedAt };
    } catch (error) {
        context.close();
        throw error;
    }
}

function stopMusic(audio) {
    if (!audio) return;
    audio.source.stop();
    audio.context.close();
}

export async function runPage() {
    const root = document.documentElement;
    const canvas = document.getElementById("intro");
    const overlay = document.getElementById("start");
    const note = document.getElementById("note");
    const context = canvas.getContext("2d");
    const image = context.createImageData(64, 64);
    const at = new URLSearchParams(location.search).get("at");

    // The one record of what the page is doing; `state` moves only through enter().
    const page = { state: "loading", intro: null, music: null, run: null, endAsked: false };
    function enter(state) {
        page.state = state;
        root.dataset.state = state;
    }
    function fail(message) {
        note.textContent = message;
        note.hidden = false;
        enter("failed");
    }
    enter("loading");

    try {
        page.intro = await loadIntro("data/");
    } catch (error) {
        fail(`The show cannot start: ${error.message}`);
        throw error;
    }

    if (at !== null) {
        const seconds = at.trim() === "" ? NaN : Number(at);
        if (!Number.isFinite(seconds)) return fail(`?at= needs a number of seconds, not "${at}".`);
        show(context, image, page.intro.frameAt(seconds));
        canvas.dataset.seconds = String(seconds);
        return enter("frozen");
    }

    show(context, image, page.intro.frameAt(0));
    performance.mark("intro-first-frame");
    // The music only after the pictures, so that it does not hold up the first frame.
    const musicUrl = new URL(`data/${MUSIC_FILE}`, document.baseURI);
    page.music = fetchBytes(musicUrl).catch((error) => {
        console.warn(`intro: cannot load ${musicUrl}: ${error.message}`);
        return null;
    });
    overlay.hidden = false;
    enter("ready");

    // One frame at the heard position: never backwards, whatever the output timestamps
    // do, and 0 until the first sample is heard.
    function tick() {
        const run = page.run;
        const heard = run.audio ? heardSeconds(run.audio) : (performance.now() - run.silentFrom) / 1000;
        run.last = Math.max(heard, run.last, 0);
        show(context, image, page.intro.frameAt(run.last));
        canvas.dataset.seconds = String(run.last);
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
        let audio = null;
        try {
            audio = await startMusic(opened, await page.music);
        } catch (error) {
            note.textContent = `No sound (${error.message}): the show runs on a silent clock.`;
            note.hidden = false;
        }
        page.run = { audio, silentFrom: performance.now(), last: 0, frameRequest: 0 };
        root.dataset.clock = audio ? "audio" : "silent";
        enter("playing");
        tick();
        if (page.endAsked) end();
    }

    function end() {
        if (page.state === "starting") page.endAsked = true;
        if (page.state !== "playing") return;
        cancelAnimationFrame(page.run.frameRequest);
        stopMusic(page.run.audio);
        page.run = null;
        canvas.classList.add("ended");
        overlay.hidden = false;
        enter("ended");
    }

    function toggleFullScreen() {
        if (document.fullscreenElement) document.exitFullscreen();
        else root.requestFullscreen?.().catch(() => {});
    }

    document.addEventListener("click", start);
    document.addEventListener("dblclick", toggleFullScreen);
    document.addEventListener("keydown", (event) => {
        if (event.key === "Enter" || event.key === " ") {
            event.preventDefault();
            start();
        } else if (event.key === "f" || event.key === "F") {
            toggleFullScreen();
        } else if (event.key === "Escape") {
            end();
        }
    });
}
