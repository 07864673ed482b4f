#!/bin/sh
# Runs one Windows program in a test session made by session.sh:
#   run.sh DIR PROGRAM [ARGUMENTS...]
# QV_WINE_SESSION, when set, names the session instead of DIR.
set -eu
dir=${QV_WINE_SESSION:-$1}
shift
export WINEPREFIX="$dir/prefix" WINEDEBUG=${WINEDEBUG:--all} DISPLAY="$(sed 's/^[0-9]/:&/' "$dir/display")"
export LC_ALL="$(cat "$dir/locale")"
exec wine "$@"
