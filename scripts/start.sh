#!/bin/sh
# Sets everything up, builds, and starts the program under Wine. Without a
# display it starts a virtual one and says how to look at the window.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
export WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ]; then
    session=$(mktemp -d)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$session/display" >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null; rm -rf "$session"' EXIT INT TERM
    until [ -s "$session/display" ]; do sleep 0.1; done
    export DISPLAY=":$(cat "$session/display")"
    echo "No display: Quorvantel runs on the virtual display $DISPLAY."
    echo "To see it:  import -display $DISPLAY -window root quorvantel.png"
fi
wine build/win64/Quorvantel.exe
