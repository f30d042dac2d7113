// The offline page (web/offline-page.mjs) opened straight from the disk as file:// in
// Debian's headless Chromium, with every request to the network refused: its title tells
// the version, its frames at 50 moments spread over the golden record equal the record,
// and a click starts the show with the music as its clock.
// usage: node offline_page.mjs --page FILE.html --golden FILE --version VERSION
//        [--chromium /usr/bin/chromium]
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { chromiumDriver, parseArgs, spreadMoments } from "./common.mjs";

const MOMENTS = 50;
const args = parseArgs(process.argv.slice(2), ["page", "golden", "version"]);
const executablePath = args.chromium ?? "/usr/bin/chromium";
const playwright = await chromiumDriver("offline page test", executablePath);

let failures = 0;
function check(ok, message) {
    if (!ok) ++failures;
    console.log(`${ok ? "ok" : "FAIL"}: ${message}`);
}

const chosen = spreadMoments(args.golden, MOMENTS);

const flags = ["--disable-gpu", "--no-first-run", "--disable-background-networking", "--disable-component-update",
               "--disable-sync"];
if (process.getuid && process.getuid() === 0) flags.push("--no-sandbox");
const profile = mkdtempSync(join(tmpdir(), "intro-offline-"));
const context = await playwright.chromium.launchPersistentContext(profile, {
    executablePath, headless: true, args: flags, viewport: { width: 800, height: 600 },
});
const pageUrl = pathToFileURL(resolve(args.page)).href;
const consoleLines = [];
const requested = [];
context.on("console", (message) => consoleLines.push(`${message.type()}: ${message.text()}`));
// Offline: nothing may be fetched but the page itself.
await context.route("**/*", (route) => {
    const url = route.request().url();
    if (url.startsWith("file:") && url.split(/[?#]/)[0] === pageUrl) return route.continue();
    requested.push(url);
    return route.abort();
});

try {
    const page = await context.newPage();
    await page.goto(pageUrl);
    await page.waitForFunction(() => ["ready", "failed"].includes(document.documentElement.dataset.state),
                               null, { timeout: 60000 });
    const state = await page.evaluate(() => document.documentElement.dataset.state);
    check(state === "ready", `the page from file:// is ready to start (${state}${state === "failed" ?
          `: ${await page.textContent("#note")}` : ""})`);
    const title = await page.title();
    check(title.includes(args.version), `the title "${title}" tells the version ${args.version}`);

    const result = await page.evaluate(async (moments) => {
        const intro = await window.loadIntro("data/");
        const hashes = [];
        for (const seconds of moments) {
            const digest = await crypto.subtle.digest("SHA-256", intro.frameAt(seconds));
            hashes.push(Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join(""));
        }
        return { hashes, pictures: intro.picturesLoaded };
    }, chosen.map((m) => m.seconds));
    check(result.pictures === 42, `${result.pictures} of 42 pictures loaded from inside the page`);
    const differing = chosen.filter((m, i) => result.hashes[i] !== m.hash).map((m) => m.seconds);
    check(differing.length === 0, `${MOMENTS} moments from ${chosen[0].seconds} to ${chosen[MOMENTS - 1].seconds} s: ` +
          `${differing.length} differ from the golden record${differing.length ? ` (${differing.slice(0, 5).join(", ")} s)` : ""}`);

    await page.mouse.click(400, 300);
    await page.waitForFunction(() => document.documentElement.dataset.state === "playing", null, { timeout: 20000 });
    const clock = await page.evaluate(() => document.documentElement.dataset.clock);
    const note = await page.isVisible("#note") ? await page.textContent("#note") : "";
    check(clock === "audio", `a click starts the music from inside the page (${clock} clock${note ? `: ${note}` : ""})`);
    const first = parseFloat(await page.evaluate(() => document.getElementById("intro").dataset.seconds));
    await page.waitForTimeout(1000);
    const later = parseFloat(await page.evaluate(() => document.getElementById("intro").dataset.seconds));
    check(later - first > 0.5, `the show runs on the music: ${first.toFixed(2)} s, then ${later.toFixed(2)} s`);
    await page.close();
} finally {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
}
check(requested.length === 0, `nothing fetched beyond the page${requested.length ? `: ${requested.slice(0, 3).join(", ")}` : ""}`);
const errors = consoleLines.filter((line) => line.startsWith("error"));
check(errors.length === 0, `no errors on the console${errors.length ? `: ${errors.join(" | ")}` : ""}`);
console.log(`${failures ? "FAIL" : "ok"}: offline page ${args.page}`);
process.exit(failures ? 1 : 0);
