// What the Node and Chromium checks of the web page share: their command line, the golden
// record and the native frames they are compared with.
import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { existsSync, readFileSync } from "node:fs";
import { readFile } from "node:fs/promises";
import { fileURLToPath } from "node:url";

export const FRAME_BYTES = 64 * 64 * 4;

// playwright-core (from web/node_modules) and Debian's Chromium at executablePath; ends the
// process with a line naming what is missing, `who` first.
export async function chromiumDriver(who, executablePath) {
    try {
        const playwright = await import("playwright-core");
        if (existsSync(executablePath)) return playwright;
        console.error(`${who}: no browser at ${executablePath}: run scripts/setup-deps.sh`);
    } catch {
        console.error(`${who}: playwright-core is missing: run scripts/setup-deps.sh (npm ci in web/)`);
    }
    process.exit(1);
}

// loadIntro's file reading under Node, whose fetch does not read file: URLs.
export async function readUrlBytes(url) {
    return new Uint8Array(await readFile(fileURLToPath(url)));
}

// --name value pairs into an object; every name in `required` must be given.
export function parseArgs(argv, required) {
    const args = {};
    for (let i = 0; i < argv.length; i += 2) {
        if (!argv[i].startsWith("--") || i + 1 >= argv.length) throw new Error(`bad argument: ${argv[i]}`);
        args[argv[i].slice(2)] = argv[i + 1];
    }
    for (const name of required) if (!(name in args)) throw new Error(`missing --${name}`);
    return args;
}

// A number of seconds as C's strtod reads the golden record's %.17g: "inf", "-inf" and
// "nan" too, which parseFloat does not know.
export function parseSeconds(text) {
    const special = { "inf": Infinity, "+inf": Infinity, "-inf": -Infinity, "infinity": Infinity,
                      "-infinity": -Infinity, "nan": NaN, "-nan": NaN };
    const key = text.toLowerCase();
    if (key in special) return special[key];
    return /^[-+]?(\d+\.?\d*|\.\d+)(e[-+]?\d+)?$/i.test(text) ? parseFloat(text) : undefined;
}

// The golden record's moments: [{ seconds, hash }]. Lines starting with '#' are comments;
// the others are "<seconds> <sha256 hex>".
export function readGolden(path) {
    const moments = [];
    readFileSync(path, "utf8").split("\n").forEach((line, i) => {
        if (line.trim() === "" || line.startsWith("#")) return;
        const [text, hash, extra] = line.trim().split(/\s+/);
        const seconds = parseSeconds(text);
        if (extra !== undefined || !/^[0-9a-f]{64}$/.test(hash ?? "") || seconds === undefined)
            throw new Error(`${path}:${i + 1}: not "<seconds> <sha256>": ${line}`);
        moments.push({ seconds, hash });
    });
    if (moments.length === 0) throw new Error(`${path}: no moments`);
    return moments;
}

// count moments spread evenly over the show's part of the golden record at path, its first
// and last included; the record's edge moments (non-finite and huge times) are left out.
export function spreadMoments(path, count) {
    const show = readGolden(path).filter((m) => Number.isFinite(m.seconds) && m.seconds >= 0 && m.seconds <= 200)
        .sort((a, b) => a.seconds - b.seconds);
    return Array.from({ length: count }, (_, i) => show[Math.round(i * (show.length - 1) / (count - 1))]);
}

export function sha256(bytes) {
    return createHash("sha256").update(bytes).digest("hex");
}

// The whole show at 0.05-beat steps (0.02 s) up to 130.8 s.
export function showMoments() {
    const moments = [];
    for (let i = 0; i <= 6540; ++i) moments.push(i * 0.02);
    return moments;
}

// Hashes of intro-render's frames at the given moments (finite seconds only).
export function renderHashes(introRender, dataDir, moments) {
    const args = moments.flatMap((s) => ["--time", String(s)]);
    const raw = execFileSync(introRender, [...args, "--raw", "-o", "-", "--data", dataDir],
                             { maxBuffer: moments.length * FRAME_BYTES + 1024, stdio: ["ignore", "pipe", "inherit"] });
    return frameHashes(raw, moments.length, "intro-render");
}

// Hashes of the native helper's frames at any moments, non-finite ones included.
export function nativeHashes(helper, dataDir, moments) {
    const raw = execFileSync(helper, [dataDir], { input: moments.map(String).join("\n") + "\n",
                             maxBuffer: moments.length * FRAME_BYTES + 1024, stdio: ["pipe", "pipe", "inherit"] });
    return frameHashes(raw, moments.length, "web-native-frames");
}

function frameHashes(raw, count, who) {
    if (raw.length !== count * FRAME_BYTES) throw new Error(`${who} wrote ${raw.length} bytes for ${count} frames`);
    const hashes = [];
    for (let i = 0; i < count; ++i) hashes.push(sha256(raw.subarray(i * FRAME_BYTES, (i + 1) * FRAME_BYTES)));
    return hashes;
}

// Moments where converting the time to whole beats and blocks goes out of range: the
// module must convert as the native build does (the most negative integer), not saturate.
export const EXTREME_MOMENTS = [NaN, Infinity, -Infinity, -0, 5e-324, -5e-324, -1, -1000.5,
    858993459.2, 858993460, -858993460, 3e9, -3e9, 1e18, -1e18, 1e300, -1e300, Number.MAX_VALUE];
