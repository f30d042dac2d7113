// Makes the offline page: the built site as one HTML file that plays opened straight from
// the disk (file://), where browsers load neither module files nor anything by fetch. The
// page's modules become one inline module (bundled by Debian's esbuild), and intro.wasm and
// every file of data/ travel inside it as base64, where module.mjs's fetchBytes finds them.
// usage: node web/offline-page.mjs SITE_DIR OUT.html
import { execFileSync } from "node:child_process";
import { mkdirSync, readFileSync, readdirSync, renameSync, statSync, writeFileSync } from "node:fs";
import { dirname, join, relative, sep } from "node:path";

function fail(message) {
    console.error(`offline-page: ${message}`);
    process.exit(1);
}

const args = process.argv.slice(2);
if (args[0] === "--help") {
    console.log("usage: node web/offline-page.mjs SITE_DIR OUT.html\nWrites the site in SITE_DIR as one self-contained page.");
    process.exit(0);
}
if (args.length !== 2) fail("usage: node web/offline-page.mjs SITE_DIR OUT.html");
const [site, out] = args;

// Every file under folder, as paths relative to site with "/" between names; names
// starting with "." (make-data's record) are the folder's own, not the show's.
function filesUnder(folder) {
    return readdirSync(folder).filter((name) => !name.startsWith(".")).sort().flatMap((name) => {
        const path = join(folder, name);
        return statSync(path).isDirectory() ? filesUnder(path) : [relative(site, path).split(sep).join("/")];
    });
}

const html = readFileSync(join(site, "index.html"), "utf8");
const moduleScript = /<script type="module">([\s\S]*?)<\/script>/g;
const scripts = [...html.matchAll(moduleScript)];
if (scripts.length !== 1) fail(`${site}/index.html has ${scripts.length} inline module scripts, expected 1`);

// The page's own inline module with everything it imports, as one module. An inline module
// keeps import.meta.url, which is then the page's address, so intro.wasm is looked up
// beside the page, where the embedded copy is named. There is no module.mjs to import
// here, so its loadIntro, which tools use on the site, is window.loadIntro. esbuild reads
// the entry from stdin and resolves its imports from its working folder, the site, so the
// bundle names the modules as the site does and nothing is added to the site.
const entry = `${scripts[0][1]}
import { loadIntro } from "./module.mjs";
globalThis.loadIntro = loadIntro;
`;
let bundle;
try {
    bundle = execFileSync("esbuild", ["--bundle", "--format=esm", "--log-level=warning"],
                          { cwd: site, input: entry, encoding: "utf8", stdio: ["pipe", "pipe", "inherit"] });
} catch (error) {
    fail(`esbuild could not bundle the page's modules (${error.message.split("\n")[0]})`);
}
// Inside an inline script, "</script" would end it early, wherever it stands.
bundle = bundle.replace(/<\/(script)/gi, "<\\/$1");

const names = ["intro.wasm", ...filesUnder(join(site, "data"))];
const embedded = names.map((name) => {
    const base64 = readFileSync(join(site, name)).toString("base64");
    return `<script type="application/octet-stream" data-file="${name}">${base64}</script>`;
});
if (!names.includes("data/vorb_06_mp3.mp3")) fail(`${site}/data has no vorb_06_mp3.mp3`);

const page = html.replace(moduleScript, () => `<script type="module">\n${bundle}</script>`)
    .replace("</body>", () => `${embedded.join("\n")}\n</body>`);
mkdirSync(dirname(out), { recursive: true });
writeFileSync(`${out}.new`, page);
renameSync(`${out}.new`, out);
console.error(`offline-page: ${out}: ${names.length} files inside, ${Buffer.byteLength(page)} bytes`);
