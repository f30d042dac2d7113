// The show in a browser. loadIntro() gives the frames, drawn by intro.wasm (the native
// drawing code compiled to WebAssembly); runPage() is the page around them: the canvas, the
// start overlay, the music and the clock taken from what is heard. No pixel is computed
// here: JavaScript's Math is not the C library's, and the frames would drift.

export const FRAME_BYTES = 64 * 64 * 4;
const MUSIC_FILE = "vorb_06_mp3.mp3";
const NAME_BYTES = 64;
const WARNING_BYTES = 16384;  // every warning of a load, one a line

// Bytes of url, from the network or, under Node, from a file: URL.
async function fetchBytes(url) {
    if (url.protocol === "file:") {
        const { readFile } = await import("node:fs/promises");
        const { fileURLToPath } = await import("node:url");
        return new Uint8Array(await readFile(fileURLToPath(url)));
    }
    const response = await fetch(url);
    if (!response.ok) throw new Error(`HTTP ${response.status} ${response.statusText}`.trim());
    return new Uint8Array(await response.arrayBuffer());
}

function baseUrl() {
    return typeof document !== "undefined" ? document.baseURI : import.meta.url;
}

// The few system calls the C library may make: text on its standard error goes to the
// console; the module has no other files.
function wasiImports(memoryOf) {
    const badFile = 8;
    let pending = "";
    return {
        fd_write(fd, iovs, count, written) {
            const view = new DataView(memoryOf().buffer);
            const bytes = new Uint8Array(memoryOf().buffer);
            let total = 0;
            for (let i = 0; i < count; ++i) {
                const at = view.getUint32(iovs + 8 * i, true);
                const length = view.getUint32(iovs + 8 * i + 4, true);
                pending += new TextDecoder().decode(bytes.subarray(at, at + length));
                total += length;
            }
            const lines = pending.split("\n");
            pending = lines.pop();
            for (const line of lines) (fd === 1 ? console.log : console.error)(`intro.wasm: ${line}`);
            view.setUint32(written, total, true);
            return 0;
        },
        fd_seek: () => badFile,
        fd_close: () => badFile,
    };
}

async function instantiate() {
    const bytes = await fetchBytes(new URL("intro.wasm", import.meta.url));
    let memory = null;
    const { instance } = await WebAssembly.instantiate(bytes, {
        wasi_snapshot_preview1: wasiImports(() => memory),
    });
    memory = instance.exports.memory;
    instance.exports._initialize();
    return instance.exports;
}

// Writes text into memory at `at` as a NUL-terminated string of at most capacity bytes.
function putCString(memory, at, capacity, text) {
    const bytes = new TextEncoder().encode(text).subarray(0, capacity - 1);
    const view = new Uint8Array(memory.buffer, at, capacity);
    view.set(bytes);
    view[bytes.length] = 0;
}

function cString(memory, at) {
    const bytes = new Uint8Array(memory.buffer, at);
    return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
}

// Hands every picture of the data pack to the module, which loads them into its slots as
// the native intro does (the same checks, warnings and budget). A picture that cannot be
// fetched is the module's warning too. The warnings go to the console; returns the number
// of pictures loaded.
async function loadPictures(exports, dataUrl) {
    const names = [];
    const text = exports.introAlloc(Math.max(NAME_BYTES, WARNING_BYTES));
    if (!text) throw new Error("intro.wasm: out of memory");
    for (let i = 0; i < exports.introPictureCount(); ++i) {
        exports.introPictureName(i, text, NAME_BYTES);
        names.push(cString(exports.memory, text));
    }
    const files = await Promise.all(names.map(async (name) => {
        const url = new URL(name, dataUrl);
        try {
            return { bytes: await fetchBytes(url) };
        } catch (error) {
            return { problem: `cannot load ${url}: ${error.message}` };
        }
    }));
    const pack = exports.introPackBegin();
    if (!pack) throw new Error("intro.wasm: out of memory");
    const note = (problem) => {
        putCString(exports.memory, text, WARNING_BYTES, problem);
        exports.introPackProblem(pack, text);
    };
    files.forEach((file, i) => {
        if (file.problem) return note(file.problem);
        const at = exports.introAlloc(Math.max(file.bytes.length, 1));
        if (!at) return note(`cannot load ${names[i]}: out of memory for ${file.bytes.length} bytes`);
        new Uint8Array(exports.memory.buffer, at, file.bytes.length).set(file.bytes);
        exports.introPackPicture(pack, i, at, file.bytes.length);
        exports.introFree(at);
    });
    const loaded = exports.introPackFinish(pack, text, WARNING_BYTES);
    const warnings = cString(exports.memory, text).split("\n").filter((line) => line);
    exports.introFree(text);
    if (loaded === 0) {
        console.warn(`intro: no pictures could be loaded from ${dataUrl}`);
    } else {
        for (const warning of warnings) console.warn(`intro: ${warning}`);
    }
    return loaded;
}

// Loads intro.wasm (beside this module) and the pictures under dataUrl (relative to the
// page, or to this module outside a browser). Resolves to { frameAt, picturesLoaded }:
// frameAt(seconds) is a fresh Uint8Array of the 16,384 canvas bytes of that moment,
// R, G, B, A per pixel, exactly as `intro-render --time SECONDS --raw` writes them.
export async function loadIntro(dataUrl = "data/") {
    const exports = await instantiate();
    const dataBase = new URL(dataUrl, baseUrl());
    const picturesLoaded = await loadPictures(exports, dataBase);
    const frame = exports.introAlloc(FRAME_BYTES);
    if (!frame || exports.introFrameBytes() !== FRAME_BYTES) throw new Error("intro.wasm: no room for a frame");
    return {
        picturesLoaded,
        dataUrl: dataBase.href,
        frameAt(seconds) {
            if (!exports.introDrawFrame(Number(seconds), frame)) throw new Error("intro.wasm: out of memory for a frame");
            return new Uint8Array(exports.memory.buffer, frame, FRAME_BYTES).slice();
        },
    };
}

// ---- The page ----

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

export async function runPage() {
    const root = document.documentElement;
    const canvas = document.getElementById("intro");
    const overlay = document.getElementById("start");
    const note = document.getElementById("note");
    const context = canvas.getContext("2d");
    const image = context.createImageData(64, 64);
    const at = new URLSearchParams(location.search).get("at");
    root.dataset.state = "loading";

    let intro;
    try {
        intro = await loadIntro("data/");
    } catch (error) {
        note.textContent = `The show cannot start: ${error.message}`;
        note.hidden = false;
        root.dataset.state = "failed";
        throw error;
    }

    // A frozen moment for screenshots: no sound, no overlay.
    if (at !== null) {
        const seconds = at.trim() === "" ? NaN : Number(at);
        if (!Number.isFinite(seconds)) {
            note.textContent = `?at= needs a number of seconds, not "${at}".`;
            note.hidden = false;
            root.dataset.state = "failed";
            return;
        }
        show(context, image, intro.frameAt(seconds));
        canvas.dataset.seconds = String(seconds);
        root.dataset.state = "frozen";
        return;
    }

    show(context, image, intro.frameAt(0));
    performance.mark("intro-first-frame");
    // The music only after the pictures, so that it does not hold up the first frame.
    const musicUrl = new URL(`data/${MUSIC_FILE}`, document.baseURI);
    const music = fetchBytes(musicUrl).catch((error) => {
        console.warn(`intro: cannot load ${musicUrl}: ${error.message}`);
        return null;
    });
    overlay.hidden = false;
    root.dataset.state = "ready";

    let run = null;  // { audio, silentFrom, last, frameRequest }
    let starting = false;
    let endRequested = false;

    function tick() {
        let seconds = run.audio ? heardSeconds(run.audio) : (performance.now() - run.silentFrom) / 1000;
        // Never backwards, whatever the output timestamps do; 0 until the first sample is heard.
        seconds = Math.max(seconds, run.last, 0);
        run.last = seconds;
        show(context, image, intro.frameAt(seconds));
        canvas.dataset.seconds = String(seconds);
        run.frameRequest = requestAnimationFrame(tick);
    }

    async function start() {
        if (run || starting) return;
        starting = true;
        endRequested = false;
        const opened = openAudio();
        overlay.hidden = true;
        canvas.classList.remove("ended");
        note.hidden = true;
        let audio = null;
        try {
            audio = await startMusic(opened, await music);
        } catch (error) {
            note.textContent = `No sound (${error.message}): the show runs on a silent clock.`;
            note.hidden = false;
        }
        run = { audio, silentFrom: performance.now(), last: 0, frameRequest: 0 };
        root.dataset.clock = audio ? "audio" : "silent";
        root.dataset.state = "playing";
        starting = false;
        tick();
        if (endRequested) end();
    }

    function end() {
        // Escape while the music is being prepared ends the show as soon as it has started.
        if (starting) endRequested = true;
        if (!run) return;
        cancelAnimationFrame(run.frameRequest);
        if (run.audio) {
            run.audio.source.stop();
            run.audio.context.close();
        }
        run = null;
        canvas.classList.add("ended");
        overlay.hidden = false;
        root.dataset.state = "ended";
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
