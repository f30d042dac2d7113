// The organiser's own files in the page: pictures, a data folder or an MP3, chosen with the
// buttons or dropped on the page, read here and never sent anywhere; sorted into the pack's
// pictures and the music; and the panel with what the check finds in them.
import { packNameOf } from "./module.mjs";

// The files of a folder entry of a drop, with their paths inside the drop.
async function entryFiles(entry) {
    if (entry.isFile) {
        const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
        return [{ path: entry.fullPath.replace(/^\//, ""), file }];
    }
    const reader = entry.createReader();
    const entries = [];
    // A folder is read in batches until one comes back empty.
    for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (batch.length === 0) break;
        entries.push(...batch);
    }
    return (await Promise.all(entries.map(entryFiles))).flat();
}

// [{ path, file }] of a drop: its files, and every file inside its folders.
async function droppedFiles(dataTransfer) {
    const entries = Array.from(dataTransfer.items ?? [], (item) => item.webkitGetAsEntry?.()).filter(Boolean);
    if (entries.length === 0) return Array.from(dataTransfer.files, (file) => ({ path: file.name, file }));
    return (await Promise.all(entries.map(entryFiles))).flat();
}

const isMusic = (path, file) => /\.mp3$/i.test(path) || file.type.startsWith("audio/");
const baseName = (path) => path.slice(path.lastIndexOf("/") + 1);

// The files sorted: { pictures: Map of pack name to bytes, music: { name, bytes } or null,
// ignored: [path] }. Of several tracks, the one named as the show's, else the first.
export async function sortFiles(list, pictureNames, musicFileName) {
    const pictures = new Map();
    const ignored = [];
    let music = null;
    for (const { path, file } of list) {
        const name = packNameOf(path, pictureNames);
        if (name) {
            pictures.set(name, new Uint8Array(await file.arrayBuffer()));
        } else if (isMusic(path, file)) {
            if (music && baseName(music.path) === musicFileName) ignored.push(path);
            else {
                if (music) ignored.push(music.path);
                music = { path, file };
            }
        } else {
            ignored.push(path);
        }
    }
    const track = music && { name: baseName(music.path), bytes: new Uint8Array(await music.file.arrayBuffer()) };
    return { pictures, music: track, ignored };
}

// The buttons, the file inputs and the drop onto the page: each hands its files, as
// [{ path, file }], to use(files). Returns the panel's operations.
export function makeOwnFiles(use) {
    const root = document.documentElement;
    const panel = document.getElementById("findings");
    const lines = document.getElementById("findings-lines");
    const own = document.getElementById("own");
    const inputs = { files: document.getElementById("files"), folder: document.getElementById("folder") };
    // Clicks here are not the page's start or pause.
    for (const element of [own, panel]) {
        element.addEventListener("click", (event) => event.stopPropagation());
        element.addEventListener("dblclick", (event) => event.stopPropagation());
        element.addEventListener("keydown", (event) => event.stopPropagation());
    }
    document.getElementById("open-files").addEventListener("click", () => inputs.files.click());
    document.getElementById("open-folder").addEventListener("click", () => inputs.folder.click());
    for (const input of Object.values(inputs)) {
        input.addEventListener("change", () => {
            const files = Array.from(input.files, (file) => ({ path: file.webkitRelativePath || file.name, file }));
            input.value = "";
            if (files.length) use(files);
        });
    }
    document.getElementById("findings-close").addEventListener("click", () => { panel.hidden = true; });

    // Only drags that carry files light the page up.
    const carriesFiles = (event) => Array.from(event.dataTransfer?.types ?? []).includes("Files");
    document.addEventListener("dragover", (event) => {
        if (!carriesFiles(event)) return;
        event.preventDefault();
        event.dataTransfer.dropEffect = "copy";
        root.classList.add("dragging");
    });
    document.addEventListener("dragleave", (event) => {
        if (event.relatedTarget === null) root.classList.remove("dragging");
    });
    document.addEventListener("drop", async (event) => {
        if (!carriesFiles(event)) return;
        event.preventDefault();
        root.classList.remove("dragging");
        const files = await droppedFiles(event.dataTransfer);
        if (files.length) use(files);
    });

    return {
        // The check's report, one line each (problems and notes marked), and the files
        // that fill no slot.
        show(report, ignored) {
            lines.replaceChildren();
            const add = (text, kind) => {
                const line = document.createElement("div");
                line.textContent = text;
                if (kind) line.className = kind;
                lines.append(line);
            };
            for (const text of report.split("\n").filter((line) => line)) {
                const kind = text.startsWith("problem: ") ? "problem" : text.startsWith("note: ") ? "note"
                    : text.startsWith("check: ") ? "summary" : "";
                add(text, kind);
            }
            for (const path of ignored) {
                add(`not used: ${path}: no picture of the show has that name, and it is no MP3`, "note");
            }
            panel.hidden = false;
        },
        hide() {
            panel.hidden = true;
        },
    };
}
