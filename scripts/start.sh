#!/bin/sh
# Installs what starting needs, builds the 64-bit program and starts it
# under Wine, in a Wine session of its own (build/win64/start-session): the
# prefix the tests use, with its fonts and settings. On a display if there
# is one; else on a virtual display, with a VNC server on this machine only.
# Wine's own messages go to a log file. Closing the program or Ctrl+C ends
# everything the script started.
set -eu
cd "$(dirname "$0")/.."
build=$PWD/build/win64
session=$build/start-session
log=$session/start.log

packages="cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64"
[ -n "${DISPLAY:-}" ] || packages="$packages xvfb x11vnc imagemagick"
sh scripts/install.sh $packages

# A build folder of its own making has no tests; one that test.sh made keeps
# them. Either way only the program is built.
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -DQUORVANTEL_TESTS=OFF >/dev/null
cmake --build --preset win64 --target Quorvantel

vnc=""
stop() {
    [ -z "$vnc" ] || kill "$vnc" 2>/dev/null || true
    sh scripts/wine/session.sh stop "$session"
}
failed() { echo "The Wine session did not start; see $log" >&2; exit 1; }
trap stop EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$session"
: > "$log"
if [ -n "${DISPLAY:-}" ]; then
    QV_SESSION_DISPLAY=$DISPLAY sh scripts/wine/session.sh start "$session" >>"$log" 2>&1 || failed
    echo "Quorvantel starts on the display $DISPLAY."
else
    echo "Making the Wine session (the first time takes a little longer) ..."
    sh scripts/wine/session.sh start "$session" >>"$log" 2>&1 || failed
    display=":$(cat "$session/display")"
    # -localhost: only programs on this machine can connect.
    x11vnc -display "$display" -localhost -autoport 5900 -nopw -forever -shared \
        > "$session/vnc.out" 2>>"$log" &
    vnc=$!
    tries=0
    until grep -q '^PORT=' "$session/vnc.out"; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$vnc" 2>/dev/null; then
            echo "The VNC server did not start; see $log" >&2
            exit 1
        fi
        sleep 0.1
    done
    port=$(sed -n 's/^PORT=//p' "$session/vnc.out")
    cat <<EOF
There is no display here, so Quorvantel runs on the virtual display $display,
shown by a VNC server that only this machine can reach (no password):
  connect a VNC viewer on this machine to localhost::$port (port $port), or,
  from your computer, first run  ssh -N -L $port:localhost:$port $(id -un)@$(hostname)
  and then connect your VNC viewer to localhost::$port.
To take a screenshot:  import -display $display -window root quorvantel.png
EOF
fi
echo "To stop: close Quorvantel's main window, or press Ctrl+C here."
echo "Messages from Wine and the VNC server go to $log"
# In the background, so that Ctrl+C ends the wait at once: Wine may pass
# over the signal, and the session's end stops the program with the rest.
sh scripts/wine/run.sh "$session" "$build/Quorvantel.exe" >>"$log" 2>&1 &
wait $! || true
