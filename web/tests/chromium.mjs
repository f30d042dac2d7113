// The page in Debian's headless Chromium, served on 127.0.0.1: every frame of the show
// equals the golden records of the default and the synthetic pack, the canvas at ?at= moments
// holds intro-render's pixels, and after a key press the clock advances and never goes
// back, with the music or, where there is none, on the silent clock with its note.
// The player's controls, links, offset and decoder alignment are chromium_player.mjs; the
// organiser's own files, chromium_preview.mjs.
// Prints the time to the first frame and the drawing time of the show against native.
// usage: node chromium.mjs --site DIR --golden FILE --synthetic-data DIR
//        --synthetic-golden FILE --render INTRO_RENDER --native WEB_NATIVE_FRAMES
//        --pcm WEB_NATIVE_PCM [--chromium /usr/bin/chromium]
import { execFileSync } from "node:child_process";
import { createReadStream, existsSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";
import { avOffset, calibration, decoderOffset, momentLinks, playerControls } from "./chromium_player.mjs";
import { ownFiles } from "./chromium_preview.mjs";
import { FRAME_BYTES, chromiumDriver, parseArgs, readGolden } from "./common.mjs";

const args = parseArgs(process.argv.slice(2), ["site", "golden", "synthetic-data", "synthetic-golden", "render", "native",
                                               "pcm"]);
const executablePath = args.chromium ?? "/usr/bin/chromium";
const playwright = await chromiumDriver("chromium test", executablePath);

let failures = 0;
function check(ok, message) {
    if (!ok) ++failures;
    console.log(`${ok ? "ok" : "FAIL"}: ${message}`);
}

// A static server for the site on loopback, with the synthetic pack as synthetic-data/;
// `withoutMusic` answers 404 for the MP3.
const types = { ".html": "text/html", ".mjs": "text/javascript", ".wasm": "application/wasm",
                ".png": "image/png", ".mp3": "audio/mpeg" };
const server = { withoutMusic: false };
const http = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const synthetic = path.startsWith("/synthetic-data/");
    const folder = synthetic ? args["synthetic-data"] : args.site;
    const file = join(folder, synthetic ? path.slice("/synthetic-data".length) : path.endsWith("/") ? `${path}index.html` : path);
    const missing = !file.startsWith(folder) || !existsSync(file) || !statSync(file).isFile() ||
                    (server.withoutMusic && file.endsWith(".mp3"));
    if (missing) {
        response.writeHead(404).end("not found");
        return;
    }
    response.writeHead(200, { "Content-Type": types[extname(file)] ?? "application/octet-stream" });
    createReadStream(file).pipe(response);
});
await new Promise((resolve) => http.listen(0, "127.0.0.1", resolve));
const origin = `http://127.0.0.1:${http.address().port}`;

const flags = ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync"];
if (process.getuid && process.getuid() === 0) flags.push("--no-sandbox");
const profile = mkdtempSync(join(tmpdir(), "intro-chromium-"));
const context = await playwright.chromium.launchPersistentContext(profile, {
    executablePath, headless: true, args: flags, viewport: { width: 800, height: 600 },
});
const consoleLines = [];
context.on("console", (message) => consoleLines.push(`${message.type()}: ${message.text()}`));

try {
    await frozenMoments();
    await wholeShow();
    await clock(false);
    await clock(true);
    server.withoutMusic = false;
    const player = { openPage, context, origin, check, args };
    await decoderOffset(player);
    await playerControls(player);
    await momentLinks(player);
    await avOffset(player);
    await calibration(player);
    await ownFiles(player);
} finally {
    await context.close();
    http.close();
    rmSync(profile, { recursive: true, force: true });
}
const errors = consoleLines.filter((line) => line.startsWith("error") && !line.includes("404"));
check(errors.length === 0, `no errors on the console${errors.length ? `: ${errors.join(" | ")}` : ""}`);
process.exit(failures ? 1 : 0);

async function openPage(query) {
    const page = await context.newPage();
    await page.goto(`${origin}/${query}`);
    return page;
}

// The canvas at ?at= moments, read back, against intro-render's RGB; every pixel opaque.
async function frozenMoments() {
    const moments = [0, 6.5, 40.4, 77.77, 101.3, 128.8];
    const raw = execFileSync(args.render, [...moments.flatMap((s) => ["--time", String(s)]), "--raw", "-o", "-",
                             "--data", `${args.site}/data/`], { maxBuffer: moments.length * FRAME_BYTES + 1024 });
    const page = await openPage("");
    for (const [i, seconds] of moments.entries()) {
        await page.goto(`${origin}/?at=${seconds}`);
        await page.waitForFunction(() => ["frozen", "failed"].includes(document.documentElement.dataset.state));
        const shown = await page.evaluate(() => {
            const canvas = document.getElementById("intro");
            const pixels = canvas.getContext("2d").getImageData(0, 0, 64, 64).data;
            const style = getComputedStyle(canvas);
            return { pixels: Array.from(pixels), rendering: style.imageRendering, width: canvas.clientWidth,
                     height: canvas.clientHeight, background: getComputedStyle(document.body).backgroundColor,
                     overlay: document.getElementById("start").hidden };
        });
        const native = raw.subarray(i * FRAME_BYTES, (i + 1) * FRAME_BYTES);
        let differing = 0;
        for (let p = 0; p < FRAME_BYTES; p += 4) {
            const same = shown.pixels[p] === native[p] && shown.pixels[p + 1] === native[p + 1] &&
                         shown.pixels[p + 2] === native[p + 2] && shown.pixels[p + 3] === 255;
            if (!same) ++differing;
        }
        check(differing === 0, `?at=${seconds}: ${differing} of 4096 canvas pixels differ from intro-render`);
        if (i === moments.length - 1) {
            await page.goto(`${origin}/?at=soon`);
            await page.waitForFunction(() => document.documentElement.dataset.state === "failed");
            const note = await page.textContent("#note");
            check(note.includes('not "soon"') && await page.isVisible("#note"), `?at=soon is refused: ${note}`);
        }
        if (i === 0) {
            check(shown.rendering === "pixelated", `canvas drawn pixelated (${shown.rendering})`);
            check(shown.width === 600 && shown.height === 600, `canvas the largest square: ${shown.width}x${shown.height}`);
            check(shown.background === "rgb(80, 80, 80)", `grey around it (${shown.background})`);
            check(shown.overlay, "no start overlay on a frozen moment");
        }
    }
    await page.close();
}

// Every moment of the golden record drawn in the page and hashed there; the drawing of
// the default pack's moments timed against the native build, alternately in one run.
async function wholeShow() {
    for (const [dataUrl, path, local] of [["data/", args.golden, `${args.site}/data/`],
                                          ["synthetic-data/", args["synthetic-golden"], `${args["synthetic-data"]}/`]]) {
        const golden = readGolden(path);
        const moments = golden.map((m) => m.seconds);
        const page = await openPage("?at=0");
        const result = await page.evaluate(async ([moments, dataUrl]) => {
            const { loadIntro } = await import("./module.mjs");
            const intro = await loadIntro(dataUrl);
            const hashes = [];
            for (const seconds of moments) {
                const digest = await crypto.subtle.digest("SHA-256", intro.frameAt(seconds));
                hashes.push(Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join(""));
            }
            window.timeShow = () => {
                const start = performance.now();
                for (const seconds of moments) intro.frameAt(seconds);
                return performance.now() - start;
            };
            return { hashes, pictures: intro.picturesLoaded };
        }, [moments, dataUrl]);
        check(result.pictures === 42, `${result.pictures} of 42 pictures loaded from ${dataUrl} in the page`);
        const differing = moments.filter((_, i) => result.hashes[i] !== golden[i].hash);
        check(differing.length === 0, `golden record ${path}: ${differing.length} of ${moments.length} frames ` +
              `differ in Chromium${differing.length ? ` (first at ${differing.slice(0, 5).join(", ")} s)` : ""}`);
        if (dataUrl === "data/") await timeShow(page, moments, local);
        await page.close();
    }
}

// The whole show drawn in the page and natively, three times each, alternately; the
// fastest of each is reported (the machine may be busy with other work).
async function timeShow(page, moments, dataDir) {
    const web = [];
    const native = [];
    for (let round = 0; round < 3; ++round) {
        web.push(await page.evaluate(() => window.timeShow()));
        native.push(parseFloat(execFileSync(args.native, ["--bench", dataDir],
                                            { input: moments.map(String).join("\n") + "\n" }).toString()));
    }
    const best = (times) => Math.min(...times);
    console.log(`measure: drawing ${moments.length} frames, fastest of 3: Chromium ${best(web).toFixed(1)} ms, ` +
                `native ${best(native).toFixed(1)} ms, ratio ${(best(web) / best(native)).toFixed(2)} ` +
                `(Chromium ${web.map((t) => t.toFixed(0)).join(", ")}; native ${native.map((t) => t.toFixed(0)).join(", ")})`);
}

// Starts the show with a key press and samples the clock the frames are drawn at.
async function clock(withoutMusic) {
    server.withoutMusic = withoutMusic;
    const page = await openPage("");
    await page.waitForFunction(() => document.documentElement.dataset.state === "ready");
    const times = await page.evaluate(() => ({
        firstFrame: performance.getEntriesByName("intro-first-frame")[0]?.startTime,
        domReady: performance.getEntriesByType("navigation")[0]?.domContentLoadedEventEnd,
    }));
    if (!withoutMusic) {
        console.log(`measure: first frame ${times.firstFrame.toFixed(1)} ms after navigation start, ` +
                    `${(times.firstFrame - times.domReady).toFixed(1)} ms after the document was ready`);
    }
    check(await page.isVisible("#start"), "the start overlay waits for a gesture");
    // A click (as a tap gives) with the music; the space bar without.
    if (withoutMusic) await page.keyboard.press(" ");
    else await page.mouse.click(300, 300);
    await page.waitForFunction(() => document.documentElement.dataset.state === "playing", null, { timeout: 20000 });
    const mode = await page.evaluate(() => document.documentElement.dataset.clock);
    const samples = [];
    const began = Date.now();
    while (Date.now() - began < 1500) {
        samples.push(parseFloat(await page.evaluate(() => document.getElementById("intro").dataset.seconds)));
        await page.waitForTimeout(50);
    }
    const elapsed = (Date.now() - began) / 1000;
    const backwards = samples.filter((s, i) => i > 0 && s < samples[i - 1]).length;
    const advanced = samples[samples.length - 1] - samples[0];
    const label = withoutMusic ? "without the music" : `with the music (${mode} clock)`;
    check(backwards === 0 && samples.every(Number.isFinite), `${label}: the clock never goes back (${samples.length} samples)`);
    check(advanced > 0.5 * elapsed && advanced < 1.5 * elapsed,
          `${label}: the clock advanced ${advanced.toFixed(2)} s in ${elapsed.toFixed(2)} s`);
    if (withoutMusic) {
        check(mode === "silent" && await page.isVisible("#note"), "without the music: silent clock, with its note");
    }
    if (!withoutMusic) {
        await page.keyboard.press("f");
        const full = await page.waitForFunction(() => document.fullscreenElement !== null, null, { timeout: 5000 })
            .then(() => true, () => false);
        await page.keyboard.press("F");
        const back = await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 })
            .then(() => true, () => false);
        check(full && back, "F enters full screen and leaves it again");
    }
    await page.keyboard.press("Escape");
    await page.waitForFunction(() => document.documentElement.dataset.state === "ended");
    const ended = await page.evaluate(() => document.getElementById("intro").classList.contains("ended"));
    check(ended && await page.isVisible("#start"), `${label}: Escape ends the show, dimmed, the overlay back`);
    await page.close();
}
