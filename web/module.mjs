// The show's frames in JavaScript: loadIntro() loads intro.wasm (the native drawing code
// compiled to WebAssembly) and the data pack's pictures, and gives every frame. No pixel is
// computed here: JavaScript's Math is not the C library's, and the frames would drift.
// page.mjs is the page around it; outside a browser the caller supplies the file reading.

export const FRAME_BYTES = 64 * 64 * 4;
export const MUSIC_FILE = "vorb_06_mp3.mp3";
const NAME_BYTES = 64;
const WARNING_BYTES = 16384;  // every warning of a load, one a line

// The file at url when the page carries it inside itself, as the offline page does: base64
// in a <script type="application/octet-stream" data-file="NAME"> element, NAME relative to
// the page. Null when the page has no such element.
function embeddedBytes(url) {
    if (typeof document === "undefined") return null;
    const wanted = new URL(url, document.baseURI).href;
    for (const element of document.querySelectorAll("script[data-file]")) {
        if (new URL(element.dataset.file, document.baseURI).href !== wanted) continue;
        const text = atob(element.textContent.trim());
        const bytes = new Uint8Array(text.length);
        for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
        return bytes;
    }
    return null;
}

// Bytes of url, from inside the page or from the network.
export async function fetchBytes(url) {
    const embedded = embeddedBytes(url);
    if (embedded) return embedded;
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

async function instantiate(fetchBytes) {
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

// Hands every picture of the pack to the module, which empties its slots and loads them as
// the native intro does (the same checks, warnings and budget) and looks at them as
// intro-render --check does. files[i] is picture i's { bytes } or { problem } (a file that
// could not be read). Returns the module's check of the load (introPackEnd frees it), the
// number of pictures loaded and the loader's warnings.
function loadPack(exports, files, text) {
    const check = exports.introPackBegin();
    if (!check) throw new Error("intro.wasm: out of memory");
    files.forEach((file, i) => {
        const handed = !file.problem &&
            withBytes(exports, file.bytes, (at) => exports.introPackPicture(check, i, at, file.bytes.length));
        if (handed) return;
        const problem = file.problem ?? `cannot load ${file.name}: out of memory for ${file.bytes.length} bytes`;
        putCString(exports.memory, text, WARNING_BYTES, problem);
        exports.introPackProblem(check, i, text);
    });
    const loaded = exports.introPackFinish(check, text, WARNING_BYTES);
    const warnings = cString(exports.memory, text).split("\n").filter((line) => line);
    return { check, loaded, warnings };
}

// Calls use(at) with bytes copied into the module's memory at `at`; false when there is no
// room for them.
function withBytes(exports, bytes, use) {
    const at = exports.introAlloc(Math.max(bytes.length, 1));
    if (!at) return false;
    new Uint8Array(exports.memory.buffer, at, bytes.length).set(bytes);
    try {
        use(at);
    } finally {
        exports.introFree(at);
    }
    return true;
}

// The music's findings, added to the check: the file as the intro's reader takes it, then
// the samples decode(bytes) gives (44100 Hz, { channels: [Float32Array, ...], seconds }),
// judged as intro-render --check judges its own reader's. True when the track could be
// read and decoded.
async function checkMusic(exports, check, music, decode, text) {
    putCString(exports.memory, text, WARNING_BYTES, music.name);
    let taken = false;
    if (!withBytes(exports, music.bytes, (at) => { taken = exports.introMusicFile(check, at, music.bytes.length, text); })) {
        throw new Error("intro.wasm: out of memory for the music");
    }
    if (!taken) return false;
    let decoded;
    try {
        decoded = await decode(music.bytes);
    } catch (error) {
        putCString(exports.memory, text, WARNING_BYTES, `the browser cannot decode it (${error.message})`);
        exports.introMusicProblem(check, text);
        return false;
    }
    // As our reader gives it: stereo (mono doubled), 16-bit, clipped at full scale.
    const frames = Math.min(decoded.channels[0].length, Math.round(exports.introHeardSeconds() * 44100));
    const at = exports.introAlloc(Math.max(frames, 1) * 4);
    if (!at) throw new Error("intro.wasm: out of memory for the music");
    const samples = new Int16Array(exports.memory.buffer, at, frames * 2);
    const [left, right = left] = decoded.channels;
    for (let i = 0; i < frames; ++i) {
        samples[2 * i] = Math.max(-32768, Math.min(32767, Math.round(left[i] * 32768)));
        samples[2 * i + 1] = Math.max(-32768, Math.min(32767, Math.round(right[i] * 32768)));
    }
    exports.introMusicSamples(check, at, frames, decoded.seconds);
    exports.introFree(at);
    return true;
}

function checkReport(exports, check) {
    const capacity = 1 << 16;
    const out = exports.introAlloc(capacity);
    if (!out) throw new Error("intro.wasm: out of memory for the report");
    exports.introCheckReport(check, out, capacity);
    const report = cString(exports.memory, out);
    exports.introFree(out);
    return report;
}

// The pack's file name of a file given as path (a name, or a path inside a dropped folder):
// the picture whose name the path ends with, or whose last part matches the path's.
export function packNameOf(path, names) {
    const clean = path.replace(/\\/g, "/");
    const base = clean.slice(clean.lastIndexOf("/") + 1);
    return names.find((name) => clean === name || clean.endsWith(`/${name}`)) ??
           names.find((name) => name.slice(name.lastIndexOf("/") + 1) === base) ?? null;
}

// Loads intro.wasm (beside this module) and the pictures under dataUrl (relative to the
// page, or to this module outside a browser), each file read by options.fetchBytes(url)
// (default: fetch, which outside a browser may not read file: URLs). A picture that cannot
// be fetched is the module's warning, as a missing file is the native loader's. The
// warnings go to the console. Resolves to { frameAt, picturesLoaded, pictureNames, dataUrl,
// replace }:
// frameAt(seconds) is a fresh Uint8Array of the 16,384 canvas bytes of that moment,
// R, G, B, A per pixel, exactly as `intro-render --time SECONDS --raw` writes them, from the
// pictures loaded last;
// replace(pictures, music, decode) swaps pictures of the pack (pictures: Map of pack file
// name to bytes) and reloads the pack with them, then checks it with the music ({ name,
// bytes }, decoded by decode as checkMusic says); resolves to { picturesLoaded, report,
// musicReadable }, report being what `intro-render --check` prints for such a folder,
// musicReadable whether the intro could play the music.
export async function loadIntro(dataUrl = "data/", options = {}) {
    const read = options.fetchBytes ?? fetchBytes;
    const exports = await instantiate(read);
    const dataBase = new URL(dataUrl, baseUrl());
    const text = exports.introAlloc(WARNING_BYTES);
    if (!text) throw new Error("intro.wasm: out of memory");
    const names = [];
    for (let i = 0; i < exports.introPictureCount(); ++i) {
        exports.introPictureName(i, text, NAME_BYTES);
        names.push(cString(exports.memory, text));
    }
    const files = await Promise.all(names.map(async (name) => {
        const url = new URL(name, dataBase);
        try {
            return { name, bytes: await read(url) };
        } catch (error) {
            return { name, problem: `cannot load ${url}: ${error.message}` };
        }
    }));
    const first = loadPack(exports, files, text);
    exports.introPackEnd(first.check);
    if (first.loaded === 0) {
        console.warn(`intro: no pictures could be loaded from ${dataBase}`);
    } else {
        for (const warning of first.warnings) console.warn(`intro: ${warning}`);
    }
    const frame = exports.introAlloc(FRAME_BYTES);
    if (!frame || exports.introFrameBytes() !== FRAME_BYTES) throw new Error("intro.wasm: no room for a frame");
    const intro = {
        picturesLoaded: first.loaded,
        pictureNames: names.slice(),
        dataUrl: dataBase.href,
        frameAt(seconds) {
            if (!exports.introDrawFrame(Number(seconds), frame)) throw new Error("intro.wasm: out of memory for a frame");
            return new Uint8Array(exports.memory.buffer, frame, FRAME_BYTES).slice();
        },
        async replace(pictures, music, decode) {
            for (const [name, bytes] of pictures) {
                const i = names.indexOf(name);
                if (i >= 0) files[i] = { name, bytes };
            }
            const pack = loadPack(exports, files, text);
            try {
                intro.picturesLoaded = pack.loaded;
                const musicReadable = music ? await checkMusic(exports, pack.check, music, decode, text) : false;
                return { picturesLoaded: pack.loaded, musicReadable, report: checkReport(exports, pack.check) };
            } finally {
                exports.introPackEnd(pack.check);
            }
        },
    };
    return intro;
}
