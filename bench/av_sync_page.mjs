// The page as av_sync.sh plays it: Debian's Chromium with a window on the X display
// (DISPLAY) and its sound on the default sound server, the site served on 127.0.0.1 with
// DATA as its data folder. Opens ?t=FROM, writes where the canvas lies on the display
// ("LEFT,TOP,SIZE") to GEOMETRY, waits for the file GO, starts the show by key (a gesture,
// as the page demands for sound), lets it play SECONDS and closes. With --clock-log, also
// writes the page's clock as it read it at every frame, one "NS SECONDS" line each, NS on
// the monotonic clock of the other programs (CLOCK_MONOTONIC).
// usage: node bench/av_sync_page.mjs --site DIR --data DIR --from T --seconds S
//        --geometry FILE --go FILE [--clock-log FILE] [--chromium /usr/bin/chromium]
import { createReadStream, existsSync, mkdtempSync, renameSync, rmSync, statSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, extname, join, normalize } from "node:path";
import { fileURLToPath } from "node:url";

const usage = "usage: node bench/av_sync_page.mjs --site DIR --data DIR --from T --seconds S --geometry FILE --go FILE " +
              "[--clock-log FILE] [--chromium PATH]";
const args = {};
for (let i = 2; i < process.argv.length; i += 2) {
    if (process.argv[i] === "--help") {
        console.log(usage);
        process.exit(0);
    }
    args[process.argv[i].replace(/^--/, "")] = process.argv[i + 1];
}
for (const name of ["site", "data", "from", "seconds", "geometry", "go"]) {
    if (args[name] === undefined) {
        console.error(`av_sync_page: --${name} is missing\n${usage}`);
        process.exit(2);
    }
}
const executablePath = args.chromium ?? "/usr/bin/chromium";
const webFolder = join(dirname(fileURLToPath(import.meta.url)), "..", "web");
let playwright;
try {
    playwright = createRequire(join(webFolder, "package.json"))("playwright-core");
} catch {
    console.error("av_sync_page: playwright-core is missing: run scripts/setup-deps.sh (npm ci in web/)");
    process.exit(1);
}

const types = { ".html": "text/html", ".mjs": "text/javascript", ".wasm": "application/wasm",
                ".png": "image/png", ".mp3": "audio/mpeg" };
const http = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const inData = path.startsWith("/data/");
    const folder = inData ? args.data : args.site;
    const file = join(folder, inData ? path.slice("/data".length) : path.endsWith("/") ? `${path}index.html` : path);
    if (!file.startsWith(folder) || !existsSync(file) || !statSync(file).isFile()) {
        response.writeHead(404).end("not found");
        return;
    }
    response.writeHead(200, { "Content-Type": types[extname(file)] ?? "application/octet-stream" });
    createReadStream(file).pipe(response);
});
await new Promise((resolve) => http.listen(0, "127.0.0.1", resolve));

// A window without the browser's own bars, so the page's pixels lie where it says.
const flags = ["--kiosk", "--window-position=0,0", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--autoplay-policy=no-user-gesture-required"];
if (process.getuid && process.getuid() === 0) flags.push("--no-sandbox");
const profile = mkdtempSync(join(tmpdir(), "av-sync-chromium-"));
const context = await playwright.chromium.launchPersistentContext(profile, {
    executablePath, headless: false, args: flags, viewport: null,
});
try {
    const page = context.pages()[0] ?? await context.newPage();
    await page.goto(`http://127.0.0.1:${http.address().port}/?t=${args.from}`);
    await page.waitForFunction(() => document.documentElement.dataset.state === "ready", null, { timeout: 30000 });
    const geometry = await page.evaluate(() => {
        const rect = document.getElementById("intro").getBoundingClientRect();
        const top = window.screenY + window.outerHeight - window.innerHeight;
        const scale = window.devicePixelRatio;
        return [window.screenX + rect.left, top + rect.top, rect.width].map((v) => Math.round(v * scale));
    });
    writeFileSync(args.geometry, `${geometry.join(",")}\n`);
    while (!existsSync(args.go)) await new Promise((resolve) => setTimeout(resolve, 50));
    // The moment each frame shows, taken in a frame callback that runs after the page's own.
    await page.evaluate(() => {
        window.clockLog = [];
        const canvas = document.getElementById("intro");
        const note = () => {
            if (document.documentElement.dataset.state === "playing") {
                window.clockLog.push([performance.now(), parseFloat(canvas.dataset.seconds)]);
            }
            requestAnimationFrame(note);
        };
        requestAnimationFrame(note);
    });
    await page.keyboard.press("Enter");
    await page.waitForFunction(() => document.documentElement.dataset.state === "playing", null, { timeout: 30000 });
    const clock = await page.evaluate(() => document.documentElement.dataset.clock);
    if (clock !== "audio") console.error(`av_sync_page: the page plays on the ${clock} clock: no sound`);
    await page.waitForTimeout(Number(args.seconds) * 1000);
    if (args["clock-log"]) await writeClockLog(page, args["clock-log"]);
} finally {
    await context.close();
    http.close();
    rmSync(profile, { recursive: true, force: true });
}

// The page's readings on the monotonic clock: performance.now() is placed by the quickest
// of many round trips to the page, midway between the monotonic times around it.
async function writeClockLog(page, path) {
    let best = null;
    for (let i = 0; i < 200; ++i) {
        const before = process.hrtime.bigint();
        const now = await page.evaluate(() => performance.now());
        const after = process.hrtime.bigint();
        if (!best || after - before < best.trip) {
            best = { trip: after - before, offsetNs: Number((before + after) / 2n) - now * 1e6 };
        }
    }
    const log = await page.evaluate(() => window.clockLog);
    const lines = log.map(([ms, seconds]) => `${Math.round(best.offsetNs + ms * 1e6)} ${seconds}`);
    writeFileSync(`${path}.part`, `${lines.join("\n")}\n`);
    renameSync(`${path}.part`, path);
    console.error(`av_sync_page: ${log.length} clock readings, placed within ${Number(best.trip) / 2e6} ms`);
}
