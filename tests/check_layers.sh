#!/bin/sh
# Fails, naming the lines, if a layer includes one above it:
#   text/    includes nothing of ours outside text/
#   softgl/  includes nothing of ours outside softgl/
#   noise/   includes nothing of ours outside noise/
#   render/  nothing from app/, export/, ui/ or toolkit/
#   export/  nothing from app/, render/, ui/ or toolkit/
#   toolkit/ nothing of ours outside toolkit/ and text/
#   ui/      nothing but text/, toolkit/ and ui/
#   app/     (the core) nothing from frontends/
# and names every include of GLUT, GLX or Xlib outside the files that may
# have one: the desktop front end and the toolkit's GLUT platform (which also
# holds GLUT's bitmap fonts behind the text seam). The benchmark of the
# Display pass opens real windows and may too, and so may the test program
# that compares GLUT's glyphs with ours.
cd "${1:-.}" || exit 2
bad=$(
  grep -Hn '#include "' text/*.h text/*.cpp | grep -v '#include "text/'
  grep -Hn '#include "' softgl/*.h softgl/*.cpp | grep -v '#include "softgl/'
  grep -Hn '#include "' noise/*.h noise/*.cpp | grep -v '#include "noise/'
  grep -Hn '#include "' render/*.h render/*.cpp | grep -E '#include "(app|export|ui|toolkit)/'
  grep -Hn '#include "' export/*.h export/*.cpp | grep -E '#include "(app|render|ui|toolkit)/'
  grep -Hn '#include "' toolkit/*.h toolkit/*.cpp | grep -v -E '#include "(text|toolkit)/'
  grep -Hn '#include "' ui/*.h ui/*.cpp | grep -v -E '#include "(text|toolkit|ui)/'
  grep -Hn '#include "' app/*.h app/*.cpp | grep -E '#include "frontends/'
)
windowing=$(
  grep -rHnE '#include <(GL/(glut|freeglut|freeglut_std|freeglut_ext|glx)\.h|X11/)' \
       --include='*.h' --include='*.cpp' app frontends noise render export toolkit ui text softgl bench tests web |
    grep -vE '^(frontends/desktop/|toolkit/glut_platform\.cpp:|bench/bench_display\.cpp:|tests/glyph_compare\.cpp:)'
)
if [ -n "$bad" ]; then
  echo "These includes point up the layers:"
  echo "$bad"
  exit 1
fi
if [ -n "$windowing" ]; then
  echo "These files include a windowing system's header, which only a front end may:"
  echo "$windowing"
  exit 1
fi
echo "layers: every include points down; GLUT, GLX and Xlib stay in the front end"
