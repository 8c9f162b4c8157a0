// The page: the program's three windows (graph, control panel, texture) as
// canvases placed as on the desktop. It reads the settings from its address,
// loads the WebAssembly program (with a pool of web workers where the page
// is cross-origin isolated, on the page's own thread elsewhere), hands every
// key, press, motion and resize to it, and on each animation frame copies
// the windows the program redrew onto their canvases. The files keys b, p,
// h, s and m write become downloads; key i shows the address and the
// command line that make the picture again.
"use strict";

const messageLine = document.getElementById("message");
const commandBox = document.getElementById("command");
const desktop = document.getElementById("desktop");
const downloadList = document.getElementById("downloads");
const bar = document.getElementById("bar");
const hintLine = document.getElementById("hint");
const roomLine = document.getElementById("room");


const TITLE_HEIGHT = 20;  // the title bar above each canvas, in CSS pixels
const DOWNLOADS = "/downloads";  // where the program's exports land

const page = {
  module: null,
  ready: false,      // the program has started and its windows are open
  ended: false,      // Quit was pressed
  error: "",         // why the page could not start
  windows: new Map(),  // id -> {id, title, frame, client, canvas, resizable}
  frames: 0,         // animation frames that drew something
  firstFrameMs: 0,   // from the start of the page's load to its first picture
  frameMs: [],       // how long each of the latest frames that drew took
  messages: [],      // every line the program printed, in order
  downloads: [],     // {name, size} of the files handed to the browser (bytes too if keepBytes)
  keepBytes: false,  // for the browser tests only: keep each file's bytes in downloads
  command: "",       // key i's command line, and the address
  address: "",
  keyWindow: 1,      // the window keys go to: the one under the pointer, at first the graph
  pointer: new Map(),  // id -> last {x, y} in that window
  moduleName: "",    // the build running: noisedemo-mt, noisedemo-simd or noisedemo-file
  lacks: [],         // what keeps the page on one thread, if anything
  ignored: [],       // the address's words that are not the program's, left alone
  startCommand: "",  // key i's command line as the page opened: Quit asks after a change
  written: "",       // the address the page last wrote into the browser's history
  asked: 0,          // how often Quit asked before ending
};
self.noisedemoPage = page;

function say(text, isError) {
  messageLine.textContent = text;
  messageLine.className = isError ? "error" : "";
}

// Every line the program prints (standard output and error) is kept and
// the latest shown: a failed export says why here.
// A line as a terminal would leave it: the STL writer counts its triangles
// in place with backspaces, thousands of times in one line.
function asShown(line) {
  if (line.indexOf("\b") < 0) return line;
  const cells = [];
  let at = 0;
  for (const ch of line) {
    if (ch === "\b") {
      at = Math.max(0, at - 1);
    } else {
      cells[at++] = ch;
    }
  }
  return cells.join("").trim();
}

function printed(text, isError) {
  const line = asShown(text);
  // The threaded build's runtime warns once that the page's thread waits:
  // it does, for the fill's workers, a few milliseconds a frame by design.
  if (line.startsWith("Blocking on the main thread")) {
    console.warn(line);
    return;
  }
  page.messages.push(line);
  // Debug traces come several a frame: keep the latest lines only.
  if (page.messages.length > 5000) page.messages.splice(0, page.messages.length - 4000);
  say(line, isError && /cannot|can't|not|fail|error|refus/i.test(line));
}

// ---------------------------------------------------------------------------
// The windows, opened and sized by the program
// ---------------------------------------------------------------------------

// GLUT's cursors that the toolkit asks for.
const CURSORS = { 1: "default", 11: "ew-resize" };

page.openCanvas = function (id, title, x, y, width, height, resizable) {
  const frame = document.createElement("div");
  frame.className = "window";
  const bar = document.createElement("div");
  bar.className = "title";
  bar.textContent = title;
  const client = document.createElement("div");
  client.className = resizable ? "client resizable" : "client";
  client.style.width = width + "px";
  client.style.height = height + "px";
  const canvas = document.createElement("canvas");
  canvas.width = width;
  canvas.height = height;
  canvas.tabIndex = 0;
  canvas.setAttribute("aria-label", title);
  canvas.dataset.window = String(id);
  client.appendChild(canvas);
  frame.appendChild(bar);
  frame.appendChild(client);
  desktop.appendChild(frame);
  // home: where and how large the program opened it, the desktop's placement.
  const w = { id, title, frame, bar, client, canvas, resizable, width, height, lost: false,
              home: { x, y, width, height } };
  page.windows.set(id, w);
  // Until the layout places it, a fitted window waits at the top left: a
  // window out at the desktop's x would widen a phone's page and zoom it out.
  if (layoutWanted === "desktop") place(w, x, y);
  else place(w, 0, 0);
  listen(w);
  placeDownloads();
};

page.resizeCanvas = function (id, width, height) {
  const w = page.windows.get(id);
  if (!w) return;
  w.width = width;
  w.height = height;
  w.client.style.width = width + "px";
  w.client.style.height = height + "px";
  placeDownloads();
};

page.setCursor = function (id, cursor) {
  const w = page.windows.get(id);
  if (w) w.canvas.style.cursor = CURSORS[cursor] || "default";
};

page.end = function () {
  page.ended = true;
  document.body.classList.add("ended");
  for (const button of document.querySelectorAll("#tools button:not(#help-button)")) {
    button.disabled = true;
  }
  say("noisedemo has quit. Reload the page to start it again.", false);
};

// The list of files made so far sits below the lowest window.
// Asked for after every change to a window (some sixty times while the
// program opens its windows), each placement reading the windows' offsets
// would lay the page out again there and then; one placement before the next
// paint reads one layout, the one the paint needs anyway.
let downloadsPlacementAsked = false;
function placeDownloads() {
  if (downloadsPlacementAsked) return;
  downloadsPlacementAsked = true;
  requestAnimationFrame(() => {
    downloadsPlacementAsked = false;
    placeDownloadsNow();
  });
}

function placeDownloadsNow() {
  let bottom = 0;
  for (const w of page.windows.values()) {
    bottom = Math.max(bottom, w.frame.offsetTop + w.frame.offsetHeight);
  }
  downloadList.style.top = bottom + 8 + "px";
  downloadList.style.left = "0px";
}

// ---------------------------------------------------------------------------
// Layout: the windows placed to fit the browser window
// ---------------------------------------------------------------------------

// The fixed bar of buttons and messages above the windows: as high as its
// content (its buttons wrap on a narrow screen), which the windows start below.
function barHeight() {
  const height = bar.offsetHeight;
  desktop.style.marginTop = height + "px";
  document.getElementById("help").style.top = height + "px";
  return height;
}
const GAP = 4;          // between windows, and between a window and the page's edge
const GRIP = 12;        // the frame right of and below a resizable canvas, for its grip
// The graph opens at the size the program opens it with (its home) where there
// is room, and smaller, in the same proportion, where there is not. Below half
// size the three windows no longer sit in one row and are stacked instead.
const SMALLEST_ROW_GRAPH = 0.5;

// The layout the address asks for: the desktop's placement (for exact
// comparisons with the desktop program), "embed" for a frame in another
// site's page (a learning platform's 800 x 600, say) or, by default, one
// that fits the browser window.
const LAYOUTS = ["desktop", "embed", "fit"];
const layoutWanted = LAYOUTS.find((name) => name === new URLSearchParams(location.search)
  .get("layout")) || "fit";

function place(w, x, y) {
  w.frame.style.left = x + "px";
  w.frame.style.top = y + "px";
}

// The outside of a window of a canvas that size: its title bar, and the grip's frame.
function outerSize(w, width, height) {
  const grip = w.resizable ? GRIP : 0;
  return [width + grip, TITLE_HEIGHT + height + grip];
}

// Gives the window's canvas a new size as the user's resize of its corner
// does, at once rather than at the ResizeObserver's next turn, so the next
// frame draws the new size.
function sizeTo(w, width, height) {
  if (w.width === width && w.height === height) return;
  w.client.style.width = width + "px";
  w.client.style.height = height + "px";
  w.width = width;
  w.height = height;
  guarded(() => page.module._NdResize(w.id, width, height));
}

// The windows by what they are: the program opens the graph, then the
// texture window (both resizable), then the panel, then the Views panel.
function roles() {
  const all = [...page.windows.values()];
  const graphics = all.filter((w) => w.resizable);
  const panels = all.filter((w) => !w.resizable);
  return { graph: graphics[0], texture: graphics[1], panel: panels[0], views: panels[1] };
}

// Places every window by the layout wanted, in the browser window's size now.
// In one row where the texture window fits at one texel per pixel beside a
// graph of at least half size; otherwise stacked, each as wide as the
// browser window allows, so the page scrolls only down.
function layOut() {
  if (!page.ready) return;
  const { graph, texture, panel, views } = roles();
  if (!graph || !texture || !panel) return;
  const GRAPH_SIZE = [graph.home.width, graph.home.height];
  if (layoutWanted === "desktop") {
    barHeight();
    for (const w of [graph, texture, panel, views].filter(Boolean)) {
      place(w, w.home.x, w.home.y);
      if (w.resizable) sizeTo(w, w.home.width, w.home.height);
    }
  } else if (layoutWanted === "embed") {
    layOutEmbedded(graph, texture, panel, views);
  } else {
    // The layout viewport (the browser window less its scroll bars), not the
    // visual one, which a phone's zoom changes.
    const across = document.documentElement.clientWidth;
    const down = document.documentElement.clientHeight - barHeight();
    const [textureWidth, textureHeight] = outerSize(texture, 512, 512);
    const [panelWidth, panelHeight] = outerSize(panel, panel.width, panel.height);
    const graphRoom = across - 4 * GAP - textureWidth - panelWidth - GRIP;
    const graphHeightRoom = down - 2 * GAP - TITLE_HEIGHT - GRIP;
    const scale = Math.min(1, graphRoom / GRAPH_SIZE[0], graphHeightRoom / GRAPH_SIZE[1]);
    const rowFits = scale >= SMALLEST_ROW_GRAPH
      && Math.max(textureHeight, panelHeight) <= down - 2 * GAP;
    if (rowFits) {
      const gw = Math.floor(GRAPH_SIZE[0] * scale);
      const gh = Math.floor(GRAPH_SIZE[1] * scale);
      sizeTo(graph, gw, gh);
      sizeTo(texture, 512, 512);
      place(graph, GAP, GAP);
      place(texture, GAP + outerSize(graph, gw, gh)[0] + GAP, GAP);
      place(panel, GAP + outerSize(graph, gw, gh)[0] + GAP + textureWidth + GAP, GAP);
      // The small Views panel under the graph, the row's shortest window.
      if (views) place(views, GAP, GAP + outerSize(graph, gw, gh)[1] + GAP);
    } else {
      // No window wider than the browser window (down to the panel's width,
      // below which the page scrolls across as well and says so).
      const room = Math.max(1, across - 2 * GAP - GRIP);
      const gscale = Math.min(1, room / GRAPH_SIZE[0]);
      const gw = Math.max(1, Math.floor(GRAPH_SIZE[0] * gscale));
      const gh = Math.max(1, Math.floor(GRAPH_SIZE[1] * gscale));
      const side = Math.max(1, Math.min(512, room));
      sizeTo(graph, gw, gh);
      sizeTo(texture, side, side);
      place(graph, GAP, GAP);
      let y = GAP + outerSize(graph, gw, gh)[1] + GAP;
      const [tw, th] = outerSize(texture, side, side);
      place(texture, GAP, y);
      let panelX = GAP;
      if (GAP + tw + GAP + panelWidth + GAP <= across) {
        panelX = GAP + tw + GAP;
        place(panel, panelX, y);
      } else {
        y += th + GAP;
        place(panel, GAP, y);
      }
      // The Views panel beside the panel where there is room, else below it.
      if (views) {
        const [viewsWidth] = outerSize(views, views.width, views.height);
        if (panelX + panelWidth + GAP + viewsWidth + GAP <= across) {
          place(views, panelX + panelWidth + GAP, y);
        } else {
          place(views, panelX, y + panelHeight + GAP);
        }
      }
    }
  }
  document.body.classList.toggle("stacked", layoutWanted !== "desktop" && !fitsInRow());
  placeDownloads();
  checkRoom();
  askFrame();
}

// In a frame of another site's page: the graph and the texture side by side,
// each half the frame's width (the texture square, at most 512 and as high
// as the frame leaves below the bar), and the panel below them, reached by
// scrolling the frame.
function layOutEmbedded(graph, texture, panel, views) {
  const GRAPH_SIZE = [graph.home.width, graph.home.height];
  const across = document.documentElement.clientWidth;
  const down = document.documentElement.clientHeight - barHeight();
  const half = Math.floor((across - 3 * GAP) / 2) - GRIP;
  const side = Math.max(1, Math.min(512, half, down - 2 * GAP - TITLE_HEIGHT - GRIP));
  const gw = Math.max(1, Math.min(half, Math.floor(GRAPH_SIZE[0] * side / GRAPH_SIZE[1])));
  const gh = Math.max(1, Math.floor(GRAPH_SIZE[1] * gw / GRAPH_SIZE[0]));
  sizeTo(graph, gw, gh);
  sizeTo(texture, side, side);
  place(graph, GAP, GAP);
  place(texture, GAP + outerSize(graph, gw, gh)[0] + GAP, GAP);
  const rowHeight = Math.max(outerSize(graph, gw, gh)[1], outerSize(texture, side, side)[1]);
  place(panel, GAP, GAP + rowHeight + GAP);
  if (views) place(views, GAP + outerSize(panel, panel.width, panel.height)[0] + GAP, GAP + rowHeight + GAP);
}

// True when the graph's, texture's and panel's tops are one: the row layout
// (the small Views panel sits under the graph in it).
function fitsInRow() {
  const { graph, texture, panel } = roles();
  const tops = [graph, texture, panel].filter(Boolean).map((w) => w.frame.offsetTop);
  return tops.every((top) => top === tops[0]);
}

// A browser window smaller than the smallest layout scrolls, and says so.
function checkRoom() {
  if (!page.ready) return;
  let right = 0;
  let bottom = 0;
  for (const w of page.windows.values()) {
    right = Math.max(right, w.frame.offsetLeft + w.frame.offsetWidth);
    bottom = Math.max(bottom, desktop.offsetTop + w.frame.offsetTop + w.frame.offsetHeight);
  }
  const stacked = document.body.classList.contains("stacked");
  const across = document.documentElement.clientWidth;
  const down = document.documentElement.clientHeight;
  const small = across < right || (!stacked && layoutWanted !== "embed" && down < bottom);
  // Said while it is true, with the sizes of now, and gone when it is not.
  roomLine.hidden = !small;
  roomLine.textContent = small ? `The browser window (${across} x ${down}) is smaller than the ` +
    `program's windows (${right} x ${bottom}): scroll to reach them, or zoom out.` : "";
}

// The window pressed comes to the front, as on a desktop.
function raise(w) {
  page.topLayer = (page.topLayer || 0) + 1;
  w.frame.style.zIndex = String(page.topLayer);
}

// A press on a title bar moves the window until the release; a double click
// on one puts every window back where the layout places it.
function listenToTitle(w) {
  const bar = w.bar;
  let grabbed = null;
  bar.addEventListener("pointerdown", (e) => {
    if (e.button !== 0) return;
    // On a stacked page a finger on a title bar scrolls (its touch-action
    // lets the browser pan) instead of moving the window.
    if (e.pointerType === "touch" && document.body.classList.contains("stacked")) return;
    e.preventDefault();
    bar.setPointerCapture(e.pointerId);
    grabbed = { x: e.clientX - w.frame.offsetLeft, y: e.clientY - w.frame.offsetTop };
  });
  bar.addEventListener("pointermove", (e) => {
    if (!grabbed) return;
    // The title bar stays on the page, where it can be grabbed again.
    place(w, Math.max(0, Math.round(e.clientX - grabbed.x)),
          Math.max(0, Math.round(e.clientY - grabbed.y)));
  });
  const release = () => {
    if (!grabbed) return;
    grabbed = null;
    placeDownloads();
  };
  bar.addEventListener("pointerup", release);
  bar.addEventListener("pointercancel", release);
  bar.addEventListener("dblclick", (e) => {
    e.preventDefault();
    layOut();
  });
}

// ---------------------------------------------------------------------------
// Drawing: the program draws into its own buffers; each animation frame
// copies the windows that changed onto their canvases.
// ---------------------------------------------------------------------------

function blit(w) {
  const m = page.module;
  const width = m._NdWidth(w.id);
  const height = m._NdHeight(w.id);
  if (width <= 0 || height <= 0) return;
  if (w.canvas.width !== width) w.canvas.width = width;
  if (w.canvas.height !== height) w.canvas.height = height;
  // Written only when they differ: a style written on every frame is a
  // style recalculation on every frame.
  if (w.styledWidth !== width || w.styledHeight !== height) {
    w.canvas.style.width = width + "px";
    w.canvas.style.height = height + "px";
    w.styledWidth = width;
    w.styledHeight = height;
  }
  const pointer = m._NdPixels(w.id);
  const bytes = width * height * 4;
  // One ImageData per window and buffer, kept while its size and the
  // program's memory stay. On one thread it views the program's memory
  // itself, so the pixels are copied once, by putImageData; the threaded
  // build's memory is shared, which ImageData may not view, so there they are
  // copied into the ImageData's own.
  const heap = m.HEAPU8.buffer;
  const shared = typeof SharedArrayBuffer !== "undefined" && heap instanceof SharedArrayBuffer;
  // The program's two buffers take turns as the shown one: one view of each
  // is kept, so a drag makes no new object a frame for the collector; a
  // copy needs one ImageData whichever buffer it copies.
  if (!w.images || w.imagesWidth !== width || w.imagesHeight !== height || w.imagesHeap !== heap) {
    w.images = new Map();
    w.imagesWidth = width;
    w.imagesHeight = height;
    w.imagesHeap = heap;
  }
  const key = shared ? 0 : pointer;
  w.image = w.images.get(key);
  if (!w.image) {
    // A view at an address no longer used is never read again; at most the
    // two buffers' views are kept.
    if (w.images.size >= 2) w.images.clear();
    w.image = shared ? new ImageData(width, height)
      : new ImageData(new Uint8ClampedArray(heap, pointer, bytes), width, height);
    w.images.set(key, w.image);
  }
  if (shared) w.image.data.set(m.HEAPU8.subarray(pointer, pointer + bytes));
  // Every pixel the program draws is opaque: an opaque canvas is composited
  // without blending, and shows the same pixels.
  if (!w.context) w.context = w.canvas.getContext("2d", { alpha: false });
  if (w.context) w.context.putImageData(w.image, 0, 0);
}

let frameAsked = false;
const pressed = new Set();  // the pointers held down on a canvas

function askFrame() {
  if (frameAsked || page.ended || !page.ready) return;
  frameAsked = true;
  requestAnimationFrame(frame);
}

function frame() {
  frameAsked = false;
  if (page.ended || !page.ready) return;
  const m = page.module;
  const start = performance.now();
  let drew = false;
  guarded(() => {
    if (m._NdFrame()) drew = true;
    for (const w of page.windows.values()) {
      if (m._NdTakeChanged(w.id) || w.lost) {
        w.lost = false;
        blit(w);
        if (w === roles().panel) describePanel();
      }
    }
  });
  if (drew) {
    // The program's pass and the copies onto the canvases: a drag stays
    // smooth while this is under a display frame (16.7 ms at 60 Hz).
    page.frameMs.push(performance.now() - start);
    if (page.frameMs.length > 1000) page.frameMs.shift();
    if (++page.frames === 1) page.firstFrameMs = performance.now();
  }
  if (page.ended) return;
  if (m._NdBusy()) askFrame();
  else if (pressed.size === 0) writeAddress();
}

// Runs a call into the program; Quit ends it by unwinding out of the call,
// which is not an error.
function guarded(call) {
  try {
    call();
  } catch (e) {
    if (page.ended) return;
    if (e && e.name === "ExitStatus") {
      page.end();
      return;
    }
    page.error = "noisedemo stopped: " + (e && e.message ? e.message : e);
    say(page.error, true);
    page.ended = true;
  }
}

// ---------------------------------------------------------------------------
// Events, as GLUT would hand them over
// ---------------------------------------------------------------------------

// GLUT's modifier bits: shift 1, control 2, alt 4.
function modifiers(e) {
  return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
}

// A position in the window's pixels from its top left; a canvas is never
// scaled, so CSS pixels are the window's pixels. A press a finger's
// allowance moved takes its pointer's later positions along.
function position(w, e) {
  const box = w.canvas.getBoundingClientRect();
  const p = { x: Math.floor(e.clientX - box.left), y: Math.floor(e.clientY - box.top) };
  if (w.shift && w.shift.id === e.pointerId) {
    p.x += w.shift.dx;
    p.y += w.shift.dy;
  }
  return p;
}

function listen(w) {
  const c = w.canvas;
  w.frame.addEventListener("pointerdown", () => raise(w), true);
  listenToTitle(w);
  c.addEventListener("pointerdown", (e) => {
    if (page.ended || e.button > 2) return;
    e.preventDefault();
    // Focused where it is: a window taller than the browser's would
    // otherwise scroll between the press and its release.
    c.focus({ preventScroll: true });
    // The window that took the press takes the motion until the release,
    // as X grabs the pointer for it.
    c.setPointerCapture(e.pointerId);
    pressed.add(e.pointerId);
    page.keyWindow = w.id;
    const p = position(w, e);
    // A finger's press lands where it would pick something near it; the
    // pointer's later positions move with it until the release.
    const moved = coarsePointer() ? allowance(w, p) : null;
    w.shift = moved ? { id: e.pointerId, dx: moved.x - p.x, dy: moved.y - p.y } : null;
    if (moved) {
      p.x = moved.x;
      p.y = moved.y;
    }
    page.pointer.set(w.id, p);
    guarded(() => page.module._NdMouse(w.id, e.button, 1, p.x, p.y, modifiers(e)));
    askFrame();
  });
  c.addEventListener("pointerup", (e) => {
    pressed.delete(e.pointerId);
    if (page.ended || e.button > 2) return;
    e.preventDefault();
    const p = position(w, e);
    w.shift = null;
    page.pointer.set(w.id, p);
    guarded(() => page.module._NdMouse(w.id, e.button, 0, p.x, p.y, modifiers(e)));
    askFrame();
  });
  c.addEventListener("pointermove", (e) => {
    if (page.ended) return;
    const p = position(w, e);
    page.pointer.set(w.id, p);
    guarded(() => page.module._NdMotion(w.id, p.x, p.y, e.buttons !== 0 ? 1 : 0));
    askFrame();
  });
  c.addEventListener("pointercancel", (e) => {
    pressed.delete(e.pointerId);
    w.shift = null;
    askFrame();
  });
  c.addEventListener("pointerenter", () => {
    page.keyWindow = w.id;
  });
  c.addEventListener("contextmenu", (e) => e.preventDefault());
  // The panel's ring shows while the keyboard is in it.
  c.addEventListener("focus", () => page.ready && describePanel());
  c.addEventListener("blur", () => page.ready && describePanel());
  // A 2D canvas the browser takes away (short of memory, say) is drawn
  // again when it is given back.
  c.addEventListener("contextlost", () => {
    say(`The browser took the "${w.title}" window's canvas away; it comes back when the browser returns it.`, true);
  });
  c.addEventListener("contextrestored", () => {
    w.lost = true;
    say(`The "${w.title}" window is back.`, false);
    askFrame();
  });
  if (w.resizable) {
    new ResizeObserver((entries) => {
      // The content box: the canvas's room, without the grip's frame.
      const box = entries[entries.length - 1].contentRect;
      const width = Math.max(1, Math.round(box.width));
      const height = Math.max(1, Math.round(box.height));
      if (width === w.width && height === w.height) return;
      w.width = width;
      w.height = height;
      guarded(() => page.module._NdResize(w.id, width, height));
      placeDownloads();
      askFrame();
    }).observe(w.client);
  }
}

// GLUT's special keys.
const SPECIAL = {
  F1: 1, F2: 2, F3: 3, F4: 4, F5: 5, F6: 6, F7: 7, F8: 8, F9: 9, F10: 10, F11: 11, F12: 12,
  ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103, PageUp: 104, PageDown: 105,
  Home: 106, End: 107, Insert: 108,
};
// Keys that GLUT hands over as characters. Tab is the browser's: it moves
// the focus through the page's buttons and windows.
const CONTROL_CHARACTERS = { Escape: 27, Enter: 13, Backspace: 8, Delete: 127 };
// Keys that press or move between the page's own buttons and links.
const BROWSER_KEYS = new Set([" ", "Enter", "Tab"]);
// In the panel the arrows go from control to control, as the toolkit's Tab
// does (Shift for backwards), and Enter presses as Space does.
const PANEL_KEYS = {
  ArrowDown: [9, 0], ArrowRight: [9, 0], ArrowUp: [9, 1], ArrowLeft: [9, 1], Enter: [32, 0],
};

// The window a key goes to: the focused one, or the one under the pointer
// when no window has the focus.
function keyTarget() {
  const focused = document.activeElement;
  if (focused && focused.dataset && focused.dataset.window) {
    return page.windows.get(Number(focused.dataset.window));
  }
  return page.windows.get(page.keyWindow);
}

// The focus rings show while the keyboard is in use, from a key that moves
// the focus or presses, until the next press of a pointer.
addEventListener("keydown", (e) => {
  if (BROWSER_KEYS.has(e.key) || e.key in PANEL_KEYS) document.body.classList.add("keys");
}, true);
addEventListener("pointerdown", () => document.body.classList.remove("keys"), true);

function onKey(e) {
  if (page.ended || !page.ready) return;
  // The browser's own shortcuts (reload, copy, zoom) stay the browser's.
  if (e.ctrlKey || e.metaKey) return;
  // A focused button or link takes its own keys; the others go on to a window.
  const on = e.target;
  if (on && on.closest && on.closest("button, a, #help") && BROWSER_KEYS.has(e.key)) return;
  let w = keyTarget();
  if (!w) return;
  const panel = roles().panel === w;
  // The panel's own keys are the ones that move between and press its
  // controls; its other keys (b, i, q...) go to the graph, its main window.
  if (panel && !(e.key in PANEL_KEYS) && e.key !== " ") w = roles().graph;
  const p = page.pointer.get(w.id) || { x: 0, y: 0 };
  let code = -1;
  let special = false;
  let mods = modifiers(e);
  if (panel && e.key in PANEL_KEYS) {
    [code, mods] = PANEL_KEYS[e.key];
  } else if (!panel && (e.key === " " || e.key === "Enter")) {
    // Nothing in the graph or the texture is pressed with them.
    return;
  } else if (e.key.length === 1) code = e.key.charCodeAt(0);
  else if (e.key in CONTROL_CHARACTERS) code = CONTROL_CHARACTERS[e.key];
  else if (e.key in SPECIAL) {
    code = SPECIAL[e.key];
    special = true;
  }
  if (code < 0 || code > 255) return;
  e.preventDefault();
  sendKey(w, code, special, mods, p);
  askFrame();
}

// A key as GLUT would hand it to window w, and what the page does after
// the keys that make files or show the address.
function sendKey(w, code, special, mods, p) {
  const m = page.module;
  p = p || page.pointer.get(w.id) || { x: 0, y: 0 };
  if (special) {
    guarded(() => m._NdSpecial(w.id, code, p.x, p.y, mods));
  } else {
    guarded(() => m._NdKey(w.id, code, p.x, p.y, mods));
    if (!page.ended) {
      collectDownloads();
      if (code === 105 || code === 73) showCommand();  // i, I
    }
  }
}

// ---------------------------------------------------------------------------
// Downloads: every file the program wrote into its folder
// ---------------------------------------------------------------------------

const TYPES = { bmp: "image/bmp", png: "image/png", stl: "model/stl" };

// NdRemake's kinds, from the desktop's file names.
function kindOf(name) {
  if (name.endsWith(".bin.stl")) return 4;
  if (name.endsWith(".stl")) return 3;
  if (name.startsWith("height")) return 2;
  if (name.endsWith(".png")) return 1;
  return 0;
}

// What an export is made from: the picture's command line (seed, settings,
// edited points) and the texture window's size, which the images are read
// back at. A file made again from the same is the same file.
function madeFrom() {
  const m = page.module;
  const texture = page.windows.get(2);
  return m.UTF8ToString(m._NdCommand()) + (texture ? ` ${texture.width}x${texture.height}` : "");
}

function collectDownloads(remade) {
  const FS = page.module.FS;
  let names;
  try {
    names = FS.readdir(DOWNLOADS);
  } catch (e) {
    say("The program's files cannot be read: " + e.message, true);
    return;
  }
  let made = null;
  for (const name of names) {
    // "." and "..", and an export's temporary file, which is never a result.
    if (name.startsWith(".")) continue;
    const path = DOWNLOADS + "/" + name;
    let bytes;
    try {
      bytes = FS.readFile(path);
      FS.unlink(path);
    } catch (e) {
      say(`Cannot download '${name}': ${e.message}`, true);
      continue;
    }
    if (made === null) made = madeFrom();
    offer(name, bytes, made, remade && remade.download === name ? remade : null);
  }
}

// Hands the file to the browser and lists it on the page with a link that
// saves it again: a browser that blocks a second automatic download (key s
// makes two files) or asks first still lets the user save it with a click.
// The bytes live only until the browser has them: the link makes the file
// again from the program (as long as the picture is the one it was made
// from), so a session of many 16 MB STL files holds none of them.
function offer(name, bytes, made, again) {
  const entry = { name, size: bytes.length };
  // The browser tests read back every file the page handed over.
  if (page.keepBytes) entry.bytes = bytes;
  page.downloads.push(entry);
  if (page.downloads.length > 1000) page.downloads.shift();
  const type = TYPES[name.split(".").pop()] || "application/octet-stream";
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  bytes = null;
  // The same name made again replaces its link; the list keeps the latest ten.
  for (const old of downloadList.querySelectorAll("a")) {
    if (old.download === name) old.remove();
  }
  while (downloadList.childElementCount >= 10) downloadList.firstElementChild.remove();
  let link = again;
  if (!link) {
    link = document.createElement("a");
    link.href = "";
    link.download = name;
    link.textContent = `${name} (${entry.size.toLocaleString("en")} bytes)`;
    link.title = "Save this file again";
    link.dataset.made = made;
    link.addEventListener("click", (e) => {
      e.preventDefault();
      saveAgain(link);
    });
  }
  downloadList.style.display = "block";
  downloadList.appendChild(link);
  const handing = document.createElement("a");
  handing.href = url;
  handing.download = name;
  try {
    handing.click();
  } catch (e) {
    say(`The browser did not take '${name}' (${e.message}): use its link below the windows.`, true);
  }
  // The click has handed the blob to the browser's download; the page lets
  // go of it at once.
  URL.revokeObjectURL(url);
}

function saveAgain(link) {
  if (page.ended || !page.ready) return;
  if (link.dataset.made !== madeFrom()) {
    say(`'${link.download}' was made from another picture: press its key again to make it from this one.`,
        true);
    return;
  }
  guarded(() => page.module._NdRemake(kindOf(link.download)));
  if (page.ended) return;
  const before = page.downloads.length;
  collectDownloads(link);
  if (page.downloads.length === before) say(`'${link.download}' could not be made again.`, true);
}

// ---------------------------------------------------------------------------
// Key i: the address and the command line that make the picture again
// ---------------------------------------------------------------------------

// The command's options as an address: "--seed=7 --turbulence" is
// "?seed=7&turbulence". The option words need no escaping but their values
// may (a plus stays a plus, as the address reader keeps it).
function addressOf(command) {
  const words = command.split(" ").slice(1);
  const parts = words.map((word) => {
    const option = word.replace(/^--/, "");
    const equals = option.indexOf("=");
    if (equals < 0) return option;
    const value = option.slice(equals + 1);
    return option.slice(0, equals) + "=" + encodeURIComponent(value).replace(/%2B/g, "+")
      .replace(/%3A/g, ":").replace(/%2C/g, ",");
  });
  return pageAddress() + "?" + parts.join("&");
}

// The page's address without its settings. Not origin + path: a file's
// origin is "null".
function pageAddress() {
  return location.href.split(/[?#]/)[0];
}

function showCommand() {
  const m = page.module;
  page.command = m.UTF8ToString(m._NdCommand());
  page.address = addressOf(page.command);
  commandBox.textContent = page.address + "\n" + page.command;
}

// ---------------------------------------------------------------------------
// The address follows the picture
// ---------------------------------------------------------------------------

// The page's own words in its address, beside the program's.
const PAGE_WORDS = new Set(["layout"]);

// The address's settings as [name, part] pairs, in order, the name decoded
// ("seed", "utm_source"); throws on a broken %-escape.
function addressParts(search) {
  const parts = [];
  for (const part of search.replace(/^\?/, "").split("&")) {
    if (part === "") continue;
    const equals = part.indexOf("=");
    const name = decodeURIComponent(equals < 0 ? part : part.slice(0, equals));
    decodeURIComponent(part);
    parts.push([name, part]);
  }
  return parts;
}

// Key i's address for the picture as it is now, with the page's own words
// (its layout) kept: a reload, a bookmark or a copied address gives the same
// picture in the same place.
function currentAddress() {
  const m = page.module;
  let address = addressOf(m.UTF8ToString(m._NdCommand()));
  for (const [name, part] of addressParts(location.search)) {
    if (PAGE_WORDS.has(name)) address += "&" + part;
  }
  return address + location.hash;
}

// Writes the address into the browser's history entry (replacing it: the
// back button still leaves the page) when the picture has changed. Called
// after each event once the program is idle, never during a drag, which
// would write it at every frame.
function writeAddress() {
  if (!page.ready || page.ended) return;
  const address = currentAddress();
  if (address === page.written) return;
  page.written = address;
  try {
    history.replaceState(history.state, "", address);
  } catch (e) {
    // A page from a file, in some browsers: the address cannot follow.
    console.warn("The address cannot follow the picture: " + e.message);
  }
}

// A refused page shows an address that works, as a link.
function showExample() {
  const example = pageAddress() + "?seed=7&octaves=6&noise=value+gradient&scale=clouds";
  const link = document.createElement("a");
  link.href = example;
  link.textContent = example;
  commandBox.textContent = "The address takes the command line's options, for instance\n";
  commandBox.appendChild(link);
}

// Quit asks first when the picture is not the one the page opened with; the
// address has the picture either way, so a reload after Quit brings it back.
page.mayEnd = function () {
  const m = page.module;
  writeAddress();
  if (m.UTF8ToString(m._NdCommand()) === page.startCommand) return true;
  page.asked++;
  return confirm("Quit Noise Demo? This picture stays in the page's address: " +
                 "reload the page to bring it back.");
};

// ---------------------------------------------------------------------------
// Fingers: what a press picks is within reach of a fingertip
// ---------------------------------------------------------------------------

// A fingertip covers about 24 CSS pixels of what it presses: on a coarse
// pointer a press that picks nothing picks the control point, or the
// panel's control, nearest to it within that reach. A mouse's press is
// never moved.
const FINGER_REACH = 24;
const coarse = matchMedia("(pointer: coarse)");

function coarsePointer() {
  return coarse.matches;
}

// Where the press at p is taken instead, or null to leave it.
function allowance(w, p) {
  const { graph, panel } = roles();
  if (w === graph) {
    const at = page.module._NdPickNear(p.x, p.y, FINGER_REACH);
    if (at < 0) return null;
    return { x: Math.floor(at / 65536), y: at % 65536 };
  }
  if (w !== panel) return null;
  const controls = panelControls();
  // A press on a control (as the toolkit counts its edges) stays.
  const on = (c) => p.x >= c.x && p.x <= c.x + c.w && p.y >= c.y && p.y <= c.y + c.h;
  if (controls.some(on)) return null;
  let best = null;
  let bestDistance = FINGER_REACH * FINGER_REACH;
  for (const c of controls) {
    if (!c.enabled) continue;
    const x = Math.min(Math.max(p.x, c.x), c.x + c.w);
    const y = Math.min(Math.max(p.y, c.y), c.y + c.h);
    const distance = (x - p.x) ** 2 + (y - p.y) ** 2;
    if (distance <= bestDistance) {
      best = { x, y };
      bestDistance = distance;
    }
  }
  return best;
}

// ---------------------------------------------------------------------------
// Screen readers and the keyboard in the panel
// ---------------------------------------------------------------------------

// The panel's controls as the program has them (NdControls).
function panelControls() {
  const text = page.module.UTF8ToString(page.module._NdControls());
  return text.split("\n").filter((line) => line !== "").map((line) => {
    const [kind, name, group, value, enabled, focused, x, y, w, h] = line.split("\t");
    return { kind, name, group, value, enabled: enabled === "1", focused: focused === "1",
             x: Number(x), y: Number(y), w: Number(w), h: Number(h) };
  });
}

const KIND_WORDS = { radio: "radio button", checkbox: "check box", button: "button",
                     slider: "slider" };

// What a screen reader says for a control: "Noise Type: Cubic, radio button, chosen".
function spoken(c) {
  const parts = [(c.group && c.group !== c.name ? c.group + ": " : "") + c.name, KIND_WORDS[c.kind]];
  if (c.kind === "radio") parts.push(c.value === "1" ? "chosen" : "not chosen");
  if (c.kind === "checkbox") parts.push(c.value === "1" ? "ticked" : "not ticked");
  if (c.kind === "slider") parts.push("at " + c.value);
  if (!c.enabled) parts.push("dimmed");
  return parts.join(", ");
}

const mirror = document.getElementById("mirror");
const told = document.getElementById("told");
let ring = null;
let focusedBefore = "";

// The off-screen list that mirrors the panel, the ring around its focused
// control, and the focused control said aloud when the keyboard moves to it.
function describePanel() {
  const { panel } = roles();
  if (!panel) return;
  const controls = panelControls();
  const items = controls.map(spoken);
  const shown = [...mirror.children].map((li) => li.textContent);
  if (shown.join("\n") !== items.join("\n")) {
    mirror.replaceChildren(...items.map((text) => {
      const li = document.createElement("li");
      li.textContent = text;
      return li;
    }));
  }
  const focused = controls.find((c) => c.focused);
  const keyboard = document.body.classList.contains("keys") && document.activeElement === panel.canvas;
  if (!ring) {
    ring = document.createElement("div");
    ring.className = "focus-ring";
    panel.client.appendChild(ring);
  }
  ring.hidden = !(focused && keyboard);
  if (focused) {
    Object.assign(ring.style, { left: focused.x - 1 + "px", top: focused.y - 1 + "px",
                                width: focused.w + 2 + "px", height: focused.h + 2 + "px" });
  }
  const now = focused ? spoken(focused) : "";
  if (now !== focusedBefore) {
    focusedBefore = now;
    panel.canvas.setAttribute("aria-label", panel.title + (now ? ": " + now : ""));
    if (keyboard && now) told.textContent = now;
  }
}

// ---------------------------------------------------------------------------
// The toolbar: buttons for what only keys did
// ---------------------------------------------------------------------------

// Each button presses its key in the graph window, as a user would: the
// export keys come from the program's own table of formats.
function readyTools() {
  const keys = page.module.ccall("NdExportKeys", "string", [], []);
  for (const button of document.querySelectorAll("#tools [data-export]")) {
    const key = keys[Number(button.dataset.export)];
    if (!key) continue;
    button.title = "Key " + key;
    button.disabled = false;
    button.addEventListener("click", () => pressFromTools(key.charCodeAt(0)));
  }
  const copy = document.getElementById("copy");
  copy.disabled = false;
  copy.addEventListener("click", copyLink);
}

function pressFromTools(code) {
  if (page.ended || !page.ready) return;
  const { graph } = roles();
  if (!graph) return;
  sendKey(graph, code, false, 0);
  askFrame();
}

// Key i's address, onto the clipboard as well.
async function copyLink() {
  pressFromTools(105);  // i
  if (page.ended || !page.address) return;
  try {
    await navigator.clipboard.writeText(page.address);
    page.copied = page.address;
    say("This picture's address is on the clipboard.", false);
  } catch (e) {
    // No clipboard (an insecure page, a refused permission): the address
    // is selected on the page, for the user's own copy.
    const range = document.createRange();
    range.selectNodeContents(commandBox.firstChild || commandBox);
    getSelection().removeAllRanges();
    getSelection().addRange(range);
    say("The clipboard is not open to the page (" + e.message + "): the address is selected, " +
        "copy it with Ctrl+C.", false);
  }
}

(function helpBox() {
  const box = document.getElementById("help");
  const button = document.getElementById("help-button");
  const show = (shown) => {
    box.hidden = !shown;
    button.setAttribute("aria-expanded", String(shown));
    if (shown) {
      box.style.top = bar.offsetHeight + "px";
      document.getElementById("help-close").focus();
    }
  };
  button.addEventListener("click", () => show(box.hidden));
  document.getElementById("help-close").addEventListener("click", () => {
    show(false);
    button.focus();
  });
  box.addEventListener("keydown", (e) => {
    if (e.key === "Escape") {
      e.stopPropagation();
      show(false);
      button.focus();
    }
  });
})();

// ---------------------------------------------------------------------------
// Start
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Threads and offline: the site's service worker (sw.js)
// ---------------------------------------------------------------------------

// The smallest module with one vector instruction (i32x4.splat): a browser
// that validates it runs the vector builds.
const SIMD_TEST = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0,
                                  10, 8, 1, 6, 0, 65, 0, 253, 17, 11]);

function hasSimd() {
  try {
    return WebAssembly.validate(SIMD_TEST);
  } catch (e) {
    return false;
  }
}

function activated(registration) {
  return new Promise((resolve) => {
    const worker = registration.installing || registration.waiting || registration.active;
    if (!worker || worker.state === "activated") {
      resolve();
      return;
    }
    worker.addEventListener("statechange", () => {
      if (worker.state === "activated" || worker.state === "redundant") resolve();
    });
  });
}

const FROM_A_FILE = "opened from a file, the page has no service worker";

// Registers the service worker, which caches the site for offline use and
// adds the isolation headers to its responses. A page that is not yet
// isolated reloads once, through the worker, to become so. Returns what
// the page lacks for threads ("" if nothing), or null while it reloads.
async function isolate() {
  if (location.protocol === "file:") return FROM_A_FILE;
  if (!("serviceWorker" in navigator)) {
    return "this browser gives the page no service worker (a private window?)";
  }
  let registration;
  try {
    registration = await navigator.serviceWorker.register("sw.js");
  } catch (e) {
    return "the page's service worker could not start (" + e.message + ")";
  }
  if (self.crossOriginIsolated) return "";
  // The reload is asked for once: the history entry remembers it (storage
  // may be off), so a browser that will not isolate the page is not
  // reloaded again and again.
  if (navigator.serviceWorker.controller || (history.state && history.state.noisedemoReloaded)) {
    return "the browser did not make the page cross-origin isolated";
  }
  await activated(registration);
  if (!navigator.serviceWorker.controller && registration.active === null) {
    return "the page's service worker did not start";
  }
  history.replaceState({ noisedemoReloaded: true }, "");
  say("Reloading once, through the page's service worker, for threads…", false);
  location.reload();
  return null;
}

// The module to run: threads on a cross-origin isolated page; one thread
// with vector instructions elsewhere; one thread without them where the
// browser has none (the one-file build's module, which every browser runs).
// The one-file page has its module inlined already.
function chooseModule() {
  if (self.noisedemo_file) return { name: "noisedemo-file", loaded: true };
  if (self.crossOriginIsolated) return { name: "noisedemo-mt", loaded: false };
  if (hasSimd()) return { name: "noisedemo-simd", loaded: false };
  page.lacks.push("this browser has no WebAssembly SIMD");
  return { name: "noisedemo-file", loaded: false };
}

async function start() {
  // The one-file page has no site for a service worker to serve.
  const lack = self.noisedemo_file
    ? (location.protocol === "file:" ? FROM_A_FILE : "the one-file page has no service worker")
    : await isolate();
  if (lack === null) return;
  if (lack !== "") page.lacks.push(lack);
  let parts;
  try {
    parts = addressParts(location.search);
  } catch (e) {
    // A broken %-escape: there is no option to name, only the address.
    page.error = "noisedemo: the address's settings are not well-formed (" + e.message + ")";
    say(page.error, true);
    return;
  }
  const chosen = chooseModule();
  page.moduleName = chosen.name;
  try {
    if (!chosen.loaded) await loadScript(chosen.name + ".js");
    const factory = self[chosen.name.replace("-", "_")];
    page.module = await factory({
      mainScriptUrlOrBlob: chosen.name + ".js",
      print: (line) => printed(line, false),
      printErr: (line) => printed(line, true),
    });
  } catch (e) {
    page.error = "The noise program could not be loaded: " + e.message;
    say(page.error, true);
    return;
  }
  // The program's settings are its option words; layout= is the page's own,
  // and any other word (a learning platform's, a campaign's utm_source or
  // fbclid) is not ours to refuse: it is left alone and named.
  const words = new Set(page.module.ccall("NdOptionWords", "string", [], []).split(" "));
  const ours = parts.filter(([name]) => words.has(name));
  page.ignored = [...new Set(parts.filter(([name]) => !words.has(name) && !PAGE_WORDS.has(name))
    .map(([name]) => name))];
  let options = optionLines(ours.map(([, part]) => part).join("&"));
  // Without a seed, a fresh picture on every load: a seed from the browser's
  // random source, said as the batch run says the one it takes, and kept in
  // the address from the first frame on.
  if (!ours.some(([name]) => name === "seed")) {
    const seed = crypto.getRandomValues(new Uint32Array(1))[0];
    options = (options ? options + "\n" : "") + "--seed=" + seed;
    page.randomSeed = seed;
  }
  const refusal = page.module.ccall("NdStart", "string", ["string"], [options]);
  if (refusal !== "") {
    // Nothing is drawn from settings that were only half read.
    page.error = "noisedemo: " + refusal;
    say(page.error, true);
    showExample();
    return;
  }
  say("", false);
  if (page.randomSeed !== undefined) printed("noisedemo: --seed=" + page.randomSeed, true);
  page.ready = true;
  page.startCommand = page.module.UTF8ToString(page.module._NdCommand());
  const viewKeys = page.module.ccall("NdViewKeys", "string", [], []).split("").join(" ");
  hintLine.textContent = "Drag a control point in the graph; keys: b p h s m download, " +
    viewKeys + " views, v n octaves, i shows this picture's address, q quits.";
  // What the page lacks and what it left alone, one line each where key
  // i's address goes later.
  const notes = [];
  if (page.lacks.length > 0) notes.push("On one thread: " + page.lacks.join("; ") + ".");
  if (page.ignored.length > 0) {
    notes.push("Not the program's settings, left alone: " + page.ignored.join(", ") + ".");
  }
  commandBox.textContent = notes.join("\n");
  document.addEventListener("keydown", onKey);
  readyTools();
  writeAddress();
  // A pinch zoom changes the visual viewport and fires "resize" too: the
  // windows (perhaps moved by the user) stay unless the page's own size changed.
  let laidOutFor = "";
  addEventListener("resize", () => {
    const size = document.documentElement.clientWidth + "x" + document.documentElement.clientHeight;
    if (size === laidOutFor) return;
    laidOutFor = size;
    layOut();
  });
  laidOutFor = document.documentElement.clientWidth + "x" + document.documentElement.clientHeight;
  layOut();
  // The bar grows and shrinks with its lines (its buttons wrap on a phone, a
  // message or the line about the room comes and goes): the windows below
  // move with it rather than slide under it, at the places and sizes they
  // have.
  new ResizeObserver(() => barHeight()).observe(bar);
}

start();
