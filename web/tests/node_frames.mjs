// The web module in Node: every frame of the show equals the golden records of the default
// and the synthetic pack, extreme moments equal the native build's, and a data folder
// with a missing and a broken picture warns and draws as intro-render draws it.
// usage: node node_frames.mjs --site DIR --data DIR --golden FILE --synthetic-data DIR
//        --synthetic-golden FILE --render INTRO_RENDER --native WEB_NATIVE_FRAMES --work DIR
import { cpSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { pathToFileURL } from "node:url";
import { EXTREME_MOMENTS, nativeHashes, parseArgs, readGolden, readUrlBytes, renderHashes, sha256, showMoments } from "./common.mjs";

const args = parseArgs(process.argv.slice(2), ["site", "data", "golden", "synthetic-data", "synthetic-golden",
                                                 "render", "native", "work"]);
const { loadIntro } = await import(pathToFileURL(`${args.site}/module.mjs`).href);
const fromFiles = { fetchBytes: readUrlBytes };
let failures = 0;
function check(ok, message) {
    if (!ok) ++failures;
    console.log(`${ok ? "ok" : "FAIL"}: ${message}`);
}

function countDiffering(intro, moments, hashes, label) {
    const differing = [];
    moments.forEach((seconds, i) => {
        if (sha256(intro.frameAt(seconds)) !== hashes[i]) differing.push(seconds);
    });
    check(differing.length === 0, `${label}: ${differing.length} of ${moments.length} frames differ` +
          (differing.length ? ` (first at ${differing.slice(0, 5).join(", ")} s)` : ""));
}

// The module asks the page for nothing but the C library's standard-error path: no files,
// clocks, processes or randomness.
const module = new WebAssembly.Module(readFileSync(`${args.site}/intro.wasm`));
const imports = WebAssembly.Module.imports(module).map((i) => `${i.module}.${i.name}`).sort();
const allowed = ["wasi_snapshot_preview1.fd_close", "wasi_snapshot_preview1.fd_seek", "wasi_snapshot_preview1.fd_write"];
check(imports.every((name) => allowed.includes(name)), `the module imports ${imports.join(", ")}`);

const dataUrl = pathToFileURL(`${args.data}/`).href;
const intro = await loadIntro(dataUrl, fromFiles);
check(intro.picturesLoaded === 42, `${intro.picturesLoaded} of 42 pictures loaded`);
const frame = intro.frameAt(40.4);
check(frame instanceof Uint8Array && frame.length === 16384, "frameAt gives 16384 bytes");
check(intro.frameAt(40.4) !== frame, "frameAt gives a fresh array each time");

// The whole show, with both packs.
function compareGolden(intro, path) {
    const golden = readGolden(path);
    countDiffering(intro, golden.map((m) => m.seconds), golden.map((m) => m.hash), `golden record ${path}`);
}
compareGolden(intro, args.golden);
const synthetic = await loadIntro(pathToFileURL(`${args["synthetic-data"]}/`).href, fromFiles);
check(synthetic.picturesLoaded === 42, `${synthetic.picturesLoaded} of 42 synthetic pictures loaded`);
compareGolden(synthetic, args["synthetic-golden"]);

// Non-finite and huge moments.
countDiffering(intro, EXTREME_MOMENTS, nativeHashes(args.native, args.data, EXTREME_MOMENTS),
               "non-finite and huge moments against the native build");

// A folder with one picture missing, one broken and one of the wrong size: warnings, and
// the frames drawn as intro-render draws them from the same folder.
rmSync(args.work, { recursive: true, force: true });
mkdirSync(args.work, { recursive: true });
cpSync(args.data, args.work, { recursive: true });
rmSync(`${args.work}/barf.png`);
writeFileSync(`${args.work}/jtranim/jtr05.png`, "not a picture");
cpSync(`${args.data}/darkhelmet.png`, `${args.work}/glasses.png`);
const warnings = [];
const warn = console.warn;
console.warn = (text) => warnings.push(String(text));
const broken = await loadIntro(pathToFileURL(`${args.work}/`).href, fromFiles);
console.warn = warn;
check(broken.picturesLoaded === 40, `${broken.picturesLoaded} of 42 pictures from the broken folder`);
check(warnings.length === 3 && warnings[0].includes("cannot load") && warnings[0].includes("barf.png") &&
      warnings[1].startsWith("intro: glasses.png is 64x64 pixels; the show needs at least 128x128") &&
      warnings[2].startsWith("intro: cannot load jtranim/jtr05.png: "),
      `one warning per unusable picture, in loading order: ${JSON.stringify(warnings)}`);
const sample = showMoments().filter((_, i) => i % 10 === 0);
countDiffering(broken, sample, renderHashes(args.render, `${args.work}/`, sample), "the broken folder against intro-render");

process.exit(failures ? 1 : 0);
