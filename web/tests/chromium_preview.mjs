// The organiser's own files in the page, in Chromium (driven by chromium.mjs): a picture
// chosen with the button or dropped, and a whole folder, change the frames exactly as
// intro-render draws a data folder holding them; bad pictures and a bad track show in the
// panel the very lines `intro-render --check` prints for such a folder.
import { spawnSync } from "node:child_process";
import { copyFileSync, cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { deflateSync } from "node:zlib";
import { FRAME_BYTES } from "./common.mjs";

// A PNG of width x height pixels, every one the same R, G, B, A.
function solidPng(width, height, rgba) {
    const crcTable = Array.from({ length: 256 }, (_, n) => {
        let c = n;
        for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
        return c >>> 0;
    });
    const crc = (bytes) => {
        let c = 0xFFFFFFFF;
        for (const b of bytes) c = crcTable[(c ^ b) & 0xFF] ^ (c >>> 8);
        return (c ^ 0xFFFFFFFF) >>> 0;
    };
    const chunk = (type, data) => {
        const body = Buffer.concat([Buffer.from(type, "latin1"), data]);
        const out = Buffer.alloc(body.length + 8);
        out.writeUInt32BE(data.length, 0);
        body.copy(out, 4);
        out.writeUInt32BE(crc(body), body.length + 4);
        return out;
    };
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header.set([8, 6, 0, 0, 0], 8);  // 8 bits, RGBA
    const row = Buffer.concat([Buffer.from([0]), Buffer.from(Array(width).fill(rgba).flat())]);
    const pixels = Buffer.concat(Array(height).fill(row));
    return Buffer.concat([Buffer.from([0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A]), chunk("IHDR", header),
                          chunk("IDAT", deflateSync(pixels)), chunk("IEND", Buffer.alloc(0))]);
}

const waitState = (page, states) => page.waitForFunction((s) => s.includes(document.documentElement.dataset.state),
                                                         states, { timeout: 20000 });
const waitChecked = (page) => page.waitForFunction(() => ["done", "failed"].includes(document.documentElement.dataset.check),
                                                   null, { timeout: 60000 });

async function canvasRgba(page) {
    return Buffer.from(await page.evaluate(() => Array.from(
        document.getElementById("intro").getContext("2d").getImageData(0, 0, 64, 64).data)));
}

// How many canvas pixels differ in R, G or B from the native frame.
function differing(shown, native) {
    let count = 0;
    for (let p = 0; p < FRAME_BYTES; p += 4) {
        if (shown[p] !== native[p] || shown[p + 1] !== native[p + 1] || shown[p + 2] !== native[p + 2]) ++count;
    }
    return count;
}

const panelLines = (page) => page.$$eval("#findings-lines div", (lines) => lines.map((line) => line.textContent));

export async function ownFiles({ openPage, check, args }) {
    const work = mkdtempSync(join(tmpdir(), "intro-own-files-"));
    const render = (dataDir, seconds) => spawnSync(args.render, ["--time", String(seconds), "--raw", "-o", "-",
                                                                  "--data", dataDir], { maxBuffer: 2 * FRAME_BYTES }).stdout;
    // What intro-render --check prints for a folder, its path left out of the names.
    const nativeCheck = (dataDir) => spawnSync(args.render, ["--data", dataDir, "--check"]).stdout.toString()
        .split(`${dataDir}/`).join("").split("\n").filter((line) => line);
    const defaultPack = `${args.site}/data`;
    try {
        // One picture from the button, at ?at=16 (beat 40, where it is the background).
        const mixed = join(work, "mixed");
        cpSync(defaultPack, mixed, { recursive: true });
        copyFileSync(join(args["synthetic-data"], "darkhelmet.png"), join(mixed, "darkhelmet.png"));
        let page = await openPage("?at=16");
        await waitState(page, ["frozen"]);
        const before = await canvasRgba(page);
        await page.setInputFiles("#files", join(mixed, "darkhelmet.png"));
        await waitChecked(page);
        const after = await canvasRgba(page);
        const off = differing(after, render(mixed, 16));
        check(off === 0 && differing(before, after) > 0,
              `a chosen darkhelmet.png replaces the picture at ?at=16 at once: ${off} pixels differ from intro-render ` +
              `on a folder with it (${differing(before, after)} changed)`);
        check(await page.isVisible("#findings") && (await panelLines(page)).includes("check: 0 problems, 0 notes: the show will play as meant"),
              `the panel shows the check of the pack with it: ${(await panelLines(page)).slice(-1)}`);
        await page.click("#findings-close");
        check(await page.isHidden("#findings"), "the panel closes");

        // The same picture dropped on the page, ready to start at 16 s.
        await page.goto(page.url().replace("?at=16", "?t=16"));
        await waitState(page, ["ready"]);
        await page.evaluate((bytes) => {
            const data = new DataTransfer();
            data.items.add(new File([new Uint8Array(bytes)], "darkhelmet.png", { type: "image/png" }));
            document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: data, bubbles: true, cancelable: true }));
        }, Array.from(readFileSync(join(mixed, "darkhelmet.png"))));
        await waitChecked(page);
        check(differing(await canvasRgba(page), after) === 0, "a dropped darkhelmet.png shows at once in the waiting frame");
        await page.close();

        // A whole folder: the synthetic pack, frame for frame as intro-render draws it.
        for (const seconds of [36.8, 58.8]) {
            page = await openPage(`?at=${seconds}`);
            await waitState(page, ["frozen"]);
            await page.setInputFiles("#folder", args["synthetic-data"]);
            await waitChecked(page);
            const native = render(args["synthetic-data"], seconds);
            const off = differing(await canvasRgba(page), native);
            check(off === 0 && differing(render(defaultPack, seconds), native) > 0,
                  `the synthetic folder chosen at ?at=${seconds}: ${off} pixels differ from intro-render`);
            await page.close();
        }

        // Bad pictures: not a picture, nothing opaque, too small for the floor; and a file
        // that fills no slot. The panel holds intro-render --check's lines for such a folder.
        const bad = join(work, "bad");
        cpSync(defaultPack, bad, { recursive: true });
        writeFileSync(join(bad, "barf.png"), "not a picture\n");
        writeFileSync(join(bad, "lonestar.png"), solidPng(40, 40, [255, 0, 0, 0]));
        copyFileSync(join(defaultPack, "darkhelmet.png"), join(bad, "glasses.png"));
        writeFileSync(join(work, "notes.txt"), "for the organisers\n");
        page = await openPage("");
        await waitState(page, ["ready"]);
        await page.setInputFiles("#files", ["barf.png", "lonestar.png", "glasses.png"].map((name) => join(bad, name))
            .concat(join(work, "notes.txt")));
        await waitChecked(page);
        const shown = await panelLines(page);
        const native = nativeCheck(bad);
        const pictures = shown.filter((line) => !line.startsWith("not used"));
        check(JSON.stringify(pictures) === JSON.stringify(native),
              `bad pictures: the panel shows intro-render --check's lines:\n    ${pictures.join("\n    ")}` +
              (JSON.stringify(pictures) === JSON.stringify(native) ? "" : `\n  native:\n    ${native.join("\n    ")}`));
        check(shown.some((line) => line.startsWith("not used: notes.txt")), "a file that fills no slot is named as not used");

        // A track the intro cannot read: its finding, and the show then starts without sound.
        writeFileSync(join(work, "song.mp3"), "not music\n".repeat(100));
        await page.setInputFiles("#files", join(work, "song.mp3"));
        await waitChecked(page);
        const music = (await panelLines(page)).filter((line) => line.includes("music:"));
        check(music.length === 1 && music[0] === "problem: music: cannot read song.mp3: no MP3 audio in it",
              `a bad track: ${music.join(" | ")}`);
        await page.keyboard.press(" ");
        await waitState(page, ["playing"]);
        const clock = await page.evaluate(() => document.documentElement.dataset.clock);
        check(clock === "silent" && (await page.textContent("#note")).includes("cannot read song.mp3"),
              `the show plays without the track the intro cannot read (${clock} clock): ${await page.textContent("#note")}`);
        await page.close();
    } finally {
        rmSync(work, { recursive: true, force: true });
    }
}
