#!/usr/bin/env node
// Two builds' one-thread vector fill, timed in turn in node.
//
//   node web/fill_alternate.js BEFORE_SITE AFTER_SITE [ROUNDS [OPTIONS]]
//
// Each site is a browser build's site folder (make web-build's
// build-web/site); its fill-simd module is loaded into this one process and
// the two are timed alternately, ROUNDS times (10 unless given), each round
// the median of 21 fills, so both meet the same moments of a shared
// machine. OPTIONS are the command line's, one string ("--seed=1
// --octaves=3"); the heaviest setting unless given. Pin it to one core
// (taskset -c 1) for steadier figures. A browser's engine compiles the same
// module much as node's does; web/bench.py times it in Chromium.
"use strict";
const fs = require("fs");
const path = require("path");

const HEAVIEST = "--seed=4242 --noise=value+gradient --blend=quintic --octaves=8 --turbulence --scale=rainbow";

async function load(site, options) {
  globalThis.self = globalThis;  // the module is built for a page and its workers
  const script = path.resolve(site, "fill-simd.js");
  const factory = require(script);
  delete require.cache[require.resolve(script)];
  const module = await factory({ wasmBinary: fs.readFileSync(path.resolve(site, "fill-simd.wasm")) });
  const refusal = module.ccall("NdStart", "string", ["string"], [options.split(/\s+/).join("\n")]);
  if (refusal !== "") throw new Error(`${site}: ${refusal}`);
  module._NdTimeFill(1, 0, 20);  // warm up: the engine optimises hot code on later calls
  return module;
}

(async () => {
  const [before, after, rounds = "10", options = HEAVIEST] = process.argv.slice(2);
  if (!before || !after) {
    console.error("usage: node web/fill_alternate.js BEFORE_SITE AFTER_SITE [ROUNDS [OPTIONS]]");
    process.exit(2);
  }
  const modules = [await load(before, options), await load(after, options)];
  const times = [[], []];
  for (let r = 0; r < Number(rounds); r++) {
    modules.forEach((m, side) => times[side].push(m._NdTimeFill(1, 0, 21)));
  }
  const median = (v) => v.slice().sort((a, b) => a - b)[v.length >> 1];
  console.log(`fill-simd, one thread, ${options}; ms per fill, each round's median of 21`);
  ["before", "after"].forEach((name, side) => {
    console.log(`${name.padEnd(6)} ${times[side].map((t) => t.toFixed(2)).join(" ")}` +
                `  median ${median(times[side]).toFixed(2)}`);
  });
  const faster = times[1].filter((t, r) => t < times[0][r]).length;
  console.log(`after faster in ${faster} of ${rounds} rounds`);
})().catch((e) => {
  console.error(e.message);
  process.exit(1);
});
