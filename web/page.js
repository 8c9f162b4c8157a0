// The page: reads the settings from its address, loads the WebAssembly fill
// (with a pool of web workers where the page is cross-origin isolated, on
// the page's own thread elsewhere), shows the texture one texel per pixel
// and answers keys b, p, h, s and m (download the file the desktop's key
// writes) and i (the address and the command line that make this picture
// again).
"use strict";

const message = document.getElementById("message");
const canvas = document.getElementById("texture");
const commandLine = document.getElementById("command");

function say(text) {
  message.textContent = text;
}

// The module's build: threads need SharedArrayBuffer, which browsers give
// only to cross-origin isolated pages.
const moduleName = self.crossOriginIsolated ? "fill-mt" : "fill-simd";

const page = {
  module: null,
  ready: false,     // the module is loaded and the settings taken
  frames: 0,        // pictures drawn so far
  fillMs: 0,        // the last fill's time
  firstFrameMs: 0,  // from the start of the page's load to its first picture
  error: "",
};
self.noisedemoPage = page;

function draw() {
  const m = page.module;
  const start = performance.now();
  const pointer = m._NdFill();
  page.fillMs = performance.now() - start;
  const size = canvas.width * canvas.height * 4;
  // slice() copies, which a shared (threaded) memory needs before ImageData.
  const pixels = new Uint8ClampedArray(m.HEAPU8.slice(pointer, pointer + size));
  canvas.getContext("2d").putImageData(new ImageData(pixels, canvas.width, canvas.height), 0, 0);
  page.frames++;
  if (page.frames === 1) page.firstFrameMs = performance.now();
}

// The files the desktop's keys write, in the order of its export formats
// (app/export_formats.h): the kind its messages name, the format's number
// in that table, the download's type and the line that says it was made.
const EXPORTS = {
  b: { kind: "BMP", format: 0, type: "image/bmp", made: (name) => `Image file '${name}' created.` },
  p: { kind: "PNG", format: 1, type: "image/png", made: (name) => `Image file '${name}' created.` },
  h: { kind: "HEIGHTMAP", format: 2, type: "image/png",
       made: (name) => `Heightmap file '${name}' created.` },
  // The desktop's s writes the BMP image too; here each key downloads one file.
  s: { kind: "STL", format: 3, type: "model/stl",
       made: (name, facets) => `STL file '${name}' created: ${facets} triangles written.` },
  m: { kind: "STL", format: 4, type: "model/stl",
       made: (name, facets) => `STL file '${name}' created: ${facets} triangles written.` },
};

// One export, made by the same code as the desktop's and handed to the
// browser as a download. Returns {name, bytes}, or null when it failed;
// either way the page says what happened.
function download(key) {
  const what = EXPORTS[key];
  const m = page.module;
  let name = "";
  let bytes = null;
  try {
    name = m.UTF8ToString(m._NdExport(what.format));
    if (name === "") {
      say(`Cannot write ${what.kind} file: ${m.UTF8ToString(m._NdFailure())}`);
      return null;
    }
    const pointer = m._NdBytes();
    bytes = m.HEAPU8.slice(pointer, pointer + m._NdByteCount());
    const url = URL.createObjectURL(new Blob([bytes], { type: what.type }));
    const link = document.createElement("a");
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  } catch (e) {
    say(`Cannot write ${what.kind} file '${name}'\n  ${e.message}`);
    return null;
  }
  say(what.made(name, m._NdFacets()));
  return { name, bytes };
}
page.download = download;

function showCommand() {
  const m = page.module;
  commandLine.textContent = location.href + "\n" + m.UTF8ToString(m._NdCommand());
}

function onKey(event) {
  if (!page.ready) return;
  switch (event.key) {
    case "i": case "I": showCommand(); break;
    default: {
      const key = event.key.toLowerCase();
      if (!(key in EXPORTS)) return;
      download(key);
    }
  }
  event.preventDefault();
}

async function start() {
  try {
    await loadScript(moduleName + ".js");
    const factory = self[moduleName.replace("-", "_")];
    page.module = await factory({ mainScriptUrlOrBlob: moduleName + ".js" });
  } catch (e) {
    page.error = "The noise program could not be loaded: " + e.message;
    say(page.error);
    return;
  }
  const m = page.module;
  let options;
  try {
    options = optionLines(location.search);
  } catch (e) {
    // A broken %-escape: there is no option to name, only the address.
    page.error = "noisedemo: the address's settings are not well-formed (" + e.message + ")";
    say(page.error);
    return;
  }
  const refusal = m.ccall("NdStart", "string", ["string"], [options]);
  if (refusal !== "") {
    // Nothing is drawn from settings that were only half read.
    page.error = "noisedemo: " + refusal;
    say(page.error);
    return;
  }
  page.ready = true;
  document.addEventListener("keydown", onKey);
  draw();
}

start();
