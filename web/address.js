// What the page and the benchmark page share: the address's settings in the
// command line's words, and loading a script (an emscripten module's glue).
"use strict";

// The address's settings as command-line options, one per line, in order:
// "?seed=7&turbulence" is "--seed=7" and "--turbulence". A "+" stays a plus,
// as in noise=value+gradient (a form would have made it a space).
function optionLines(search) {
  const lines = [];
  for (const part of search.replace(/^\?/, "").split("&")) {
    if (part === "") continue;
    const equals = part.indexOf("=");
    const decode = (text) => decodeURIComponent(text);
    if (equals < 0) lines.push("--" + decode(part));
    else lines.push("--" + decode(part.slice(0, equals)) + "=" + decode(part.slice(equals + 1)));
  }
  return lines.join("\n");
}

// Resolves when the script has loaded.
function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement("script");
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(new Error("could not load " + src));
    document.head.appendChild(script);
  });
}
