#!/bin/sh
# Runs one Windows program in a test session made by session.sh:
#   run.sh DIR PROGRAM [ARGUMENTS...]
# Wine takes the program's ANSI code page from the Unix locale: QV_LOCALE
# (for instance ja_JP.UTF-8 for code page 932), or C.UTF-8. The display's
# scale is QV_DPI dots per inch (144 is 150 %), or 96 (100 %): it is set in
# the session's prefix, and a program reads it when it starts.
set -eu
dir=$1
shift
export WINEPREFIX="$dir/prefix" DISPLAY="$(sed 's/^[0-9]/:&/' "$dir/display")"
export LC_ALL="${QV_LOCALE:-C.UTF-8}" WINEDEBUG="${WINEDEBUG:--all},err+virtual"
# Wine's loader now and then gives up before any of the program has run
# ("failed to map the shared user data"): the program fails at once, and its
# start is tried again. A program that ran longer only saw it in a child.
for attempt in 1 2 3; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${QV_DPI:-96}" /f >/dev/null 2>&1 && break
    [ $attempt -lt 3 ] || { echo "run.sh: the display's scale could not be set" >&2; exit 1; }
done
errors=$(mktemp)
for attempt in 1 2 3; do
    status=0 started=$(date +%s)
    wine "$@" 2>"$errors" || status=$?
    [ $status -ne 0 ] && [ $(($(date +%s) - started)) -le 1 ] &&
        grep -q "failed to map the shared user data" "$errors" || break
done
cat "$errors" >&2
rm -f "$errors"
exit $status
