#!/usr/bin/env bash
# Builds the browser version (web/) with Debian's emscripten into BUILD_DIR;
# the page and its modules land in BUILD_DIR/site. TARGETS, if given, are
# the only ones built (the browser tests need the program's two modules, not
# the benchmark's fill modules).
#   web_build.sh BUILD_DIR [JOBS [TARGETS...]]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$1
jobs=${2:-2}
shift $(( $# < 2 ? $# : 2 ))
command -v emcmake >/dev/null || { echo "emcmake not found: scripts/install_deps.sh web installs it" >&2; exit 1; }
# emcc runs node, which looks for Debian's JavaScript packages (acorn) only
# where NODE_PATH says.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$src/web" -B "$build" >/dev/null
cmake --build "$build" -j "$jobs" ${1:+--target "$@"}
