// The offline page in Debian's Firefox ESR, headless, driven over WebDriver BiDi (Firefox's
// own remote protocol; playwright drives only its own Firefox builds). A check by hand, not
// in the suite (Firefox is no test package: apt-get install firefox-esr first): the page
// opened as file:// gets ready, its frames at 50 moments equal the golden record, and a
// click starts the show.
// usage: node --experimental-websocket web/tests/firefox_offline.mjs --page FILE.html
//        --golden FILE [--firefox /usr/bin/firefox-esr]
import { spawn } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { parseArgs, spreadMoments } from "./common.mjs";

const MOMENTS = 50;
const PORT = 9347;
const args = parseArgs(process.argv.slice(2), ["page", "golden"]);
const chosen = spreadMoments(args.golden, MOMENTS);

const profile = mkdtempSync(join(tmpdir(), "intro-firefox-"));
const firefox = spawn(args.firefox ?? "/usr/bin/firefox-esr",
                      ["--headless", "--no-remote", "--profile", profile, `--remote-debugging-port=${PORT}`],
                      { stdio: ["ignore", "ignore", "pipe"] });
let failures = 0;
function check(ok, message) {
    if (!ok) ++failures;
    console.log(`${ok ? "ok" : "FAIL"}: ${message}`);
}

try {
    // Firefox says on stderr when its remote end listens.
    await new Promise((done, failed) => {
        let text = "";
        firefox.stderr.on("data", (chunk) => {
            text += chunk;
            if (text.includes("WebDriver BiDi listening")) done();
        });
        firefox.on("exit", () => failed(new Error(`firefox ended: ${text.slice(-300)}`)));
        setTimeout(() => failed(new Error("firefox did not listen within 30 s")), 30000);
    });
    const socket = new WebSocket(`ws://127.0.0.1:${PORT}/session`);
    await new Promise((done, failed) => { socket.onopen = done; socket.onerror = failed; });
    const waiting = new Map();
    let nextId = 1;
    socket.onmessage = (event) => {
        const message = JSON.parse(event.data);
        if (!waiting.has(message.id)) return;
        const { done, failed } = waiting.get(message.id);
        waiting.delete(message.id);
        message.type === "error" ? failed(new Error(`${message.error}: ${message.message}`)) : done(message.result);
    };
    const send = (method, params) => new Promise((done, failed) => {
        const id = nextId++;
        waiting.set(id, { done, failed });
        socket.send(JSON.stringify({ id, method, params }));
    });

    await send("session.new", { capabilities: {} });
    const { contexts } = await send("browsingContext.getTree", {});
    const context = contexts[0].context;
    // The value of an expression (a promise is awaited) in the page, as JSON text.
    const evaluate = async (expression) => {
        const result = await send("script.evaluate", { expression: `(async () => JSON.stringify(await (${expression})))()`,
                                                       target: { context }, awaitPromise: true });
        if (result.type === "exception") throw new Error(result.exceptionDetails.text);
        return result.result.value === undefined ? null : JSON.parse(result.result.value);
    };
    await send("browsingContext.navigate", { context, url: pathToFileURL(resolve(args.page)).href, wait: "complete" });
    let state = "";
    for (let i = 0; i < 300 && !["ready", "failed"].includes(state); ++i) {
        state = await evaluate("document.documentElement.dataset.state");
        await new Promise((done) => setTimeout(done, 100));
    }
    check(state === "ready", `Firefox: the page from file:// is ready to start (${state})`);
    const hashes = await evaluate(`(async () => {
        const intro = await window.loadIntro("data/");
        const hashes = [];
        for (const seconds of ${JSON.stringify(chosen.map((m) => m.seconds))}) {
            const digest = await crypto.subtle.digest("SHA-256", intro.frameAt(seconds));
            hashes.push(Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join(""));
        }
        return hashes;
    })()`);
    const differing = chosen.filter((m, i) => hashes[i] !== m.hash).length;
    check(differing === 0, `Firefox: ${differing} of ${MOMENTS} moments differ from the golden record`);
    await send("input.performActions", { context, actions: [{ type: "pointer", id: "mouse", actions: [
        { type: "pointerMove", x: 400, y: 300 }, { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }] }] });
    for (let i = 0; i < 100 && state !== "playing"; ++i) {
        state = await evaluate("document.documentElement.dataset.state");
        await new Promise((done) => setTimeout(done, 100));
    }
    const first = await evaluate("Number(document.getElementById('intro').dataset.seconds)");
    await new Promise((done) => setTimeout(done, 1000));
    const later = await evaluate("Number(document.getElementById('intro').dataset.seconds)");
    const clock = await evaluate("document.documentElement.dataset.clock");
    const note = await evaluate("document.getElementById('note').hidden ? '' : document.getElementById('note').textContent");
    check(state === "playing" && later - first > 0.5, `Firefox: a click starts the show (${state}, ${clock} clock, ` +
          `${first} s then ${later} s${note ? `; ${note}` : ""})`);
    socket.close();
} finally {
    firefox.kill();
    await new Promise((done) => firefox.exitCode !== null ? done() : firefox.on("exit", done));
    rmSync(profile, { recursive: true, force: true });
}
process.exit(failures ? 1 : 0);
