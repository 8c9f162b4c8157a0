#!/bin/sh
# The man page renders without a warning, has the sections a reader looks
# for, and names every option the program's own --help names.
#   check_man_page.sh PAGE PROGRAM
set -eu
page=$1
program=$2
warnings=$(groff -ww -z -man "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "groff warns about $page:"
  echo "$warnings"
  exit 1
fi
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT 'EXIT STATUS' 'SEE ALSO'; do
  grep -qx "\.SH $section" "$page" || { echo "$page has no $section section"; exit 1; }
done
# groff itself rather than man(1), which brings a pager, a cache and its own
# settings: wide lines, no hyphenation, plain characters.
text=$(groff -man -Tascii -P-c -P-b -P-u -P-o -rLL=200n -rHY=0 "$page" 2>/dev/null)
for option in $("$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  printf '%s\n' "$text" | grep -q -- "$option" || { echo "$page does not name $option"; exit 1; }
done
