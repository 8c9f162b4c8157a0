#!/bin/sh
# Fails, naming the lines, if a layer includes one above it:
#   text/    includes nothing of ours outside text/
#   noise/   includes nothing of ours outside noise/
#   render/  nothing from app/, export/, ui/ or toolkit/
#   export/  nothing from app/, render/, ui/ or toolkit/
#   toolkit/ nothing of ours outside toolkit/ and text/
#   ui/      nothing but text/, toolkit/ and ui/
cd "${1:-.}" || exit 2
bad=$(
  grep -Hn '#include "' text/*.h | grep -v '#include "text/'
  grep -Hn '#include "' noise/*.h noise/*.cpp | grep -v '#include "noise/'
  grep -Hn '#include "' render/*.h render/*.cpp | grep -E '#include "(app|export|ui|toolkit)/'
  grep -Hn '#include "' export/*.h export/*.cpp | grep -E '#include "(app|render|ui|toolkit)/'
  grep -Hn '#include "' toolkit/*.h toolkit/*.cpp | grep -v -E '#include "(text|toolkit)/'
  grep -Hn '#include "' ui/*.h ui/*.cpp | grep -v -E '#include "(text|toolkit|ui)/'
)
if [ -n "$bad" ]; then
  echo "These includes point up the layers:"
  echo "$bad"
  exit 1
fi
echo "layers: every include points down"
