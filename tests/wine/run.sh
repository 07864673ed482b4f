#!/bin/sh
# Runs one Windows program in a test session made by session.sh:
#   run.sh DIR PROGRAM [ARGUMENTS...]
# Wine takes the program's ANSI code page from the Unix locale: QV_LOCALE
# (for instance ja_JP.UTF-8 for code page 932), or C.UTF-8.
set -eu
dir=$1
shift
export WINEPREFIX="$dir/prefix" WINEDEBUG=${WINEDEBUG:--all} DISPLAY="$(sed 's/^[0-9]/:&/' "$dir/display")"
export LC_ALL="${QV_LOCALE:-C.UTF-8}"
exec wine "$@"
