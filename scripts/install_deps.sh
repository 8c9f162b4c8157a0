#!/usr/bin/env bash
# Installs the Debian packages a target needs, only those missing, so a
# machine that has them all needs neither network nor root.
#   install_deps.sh build|test|bench|clang|web
set -euo pipefail

# xfonts-base and xfonts-75dpi: the X bitmap fonts (9x15 fixed, 12-pixel
# Helvetica) that the build converts into our own glyph table, the glyphs of
# any front end that has no GLUT fonts.
build_pkgs=(build-essential cmake freeglut3-dev libglu1-mesa-dev libgl-dev libx11-dev libpng-dev
            libgtest-dev xfonts-base xfonts-75dpi)
run_pkgs=(xvfb x11-utils xdotool imagemagick)
test_pkgs=(xvfb xdotool x11-utils imagemagick python3 python3-pytest python3-pil python3-xlib admesh pngcheck
            groff-base man-db)
bench_pkgs=(libbenchmark-dev xvfb python3)
clang_pkgs=(clang-14)
# The browser build: Debian's emscripten (its cache is frozen, so no ports:
# everything the page needs is our own code), Debian's Chromium for the
# browser tests and the in-browser benchmark (driven over the DevTools
# protocol with python3-websocket, so nothing downloads a browser), wabt to
# read the generated WebAssembly, and node to run the build's icon maker.
# CMake configures it (through emcmake), and the glyph tables are converted
# from the X bitmap fonts, as on the desktop. Debian's Firefox ESR is the
# browser suite's second browser, driven through its own WebDriver BiDi
# agent with the same websocket client (web/firefox.py).
web_pkgs=(emscripten nodejs chromium firefox-esr wabt cmake make python3 python3-websocket python3-pytest
          xfonts-base xfonts-75dpi)

case "${1:-build}" in
  build) wanted=("${build_pkgs[@]}") ;;
  run) wanted=("${build_pkgs[@]}" "${run_pkgs[@]}") ;;
  # The tests include the browser suite, which needs the browser build.
  test) wanted=("${build_pkgs[@]}" "${test_pkgs[@]}" "${web_pkgs[@]}") ;;
  bench) wanted=("${build_pkgs[@]}" "${bench_pkgs[@]}") ;;
  clang) wanted=("${build_pkgs[@]}" "${test_pkgs[@]}" "${clang_pkgs[@]}") ;;
  web) wanted=("${web_pkgs[@]}") ;;
  *) echo "usage: $0 build|run|test|bench|clang|web" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
