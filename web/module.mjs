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

// Hands every picture of the data pack to the module, which loads them into its slots as
// the native intro does (the same checks, warnings and budget). A picture that cannot be
// fetched is the module's warning too. The warnings go to the console; returns the number
// of pictures loaded.
async function loadPictures(exports, dataUrl, fetchBytes) {
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
// page, or to this module outside a browser), each file read by options.fetchBytes(url)
// (default: fetch, which outside a browser may not read file: URLs). Resolves to
// { frameAt, picturesLoaded, dataUrl }:
// frameAt(seconds) is a fresh Uint8Array of the 16,384 canvas bytes of that moment,
// R, G, B, A per pixel, exactly as `intro-render --time SECONDS --raw` writes them.
export async function loadIntro(dataUrl = "data/", options = {}) {
    const read = options.fetchBytes ?? fetchBytes;
    const exports = await instantiate(read);
    const dataBase = new URL(dataUrl, baseUrl());
    const picturesLoaded = await loadPictures(exports, dataBase, read);
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
