#!/bin/sh
# A Wine session for tests: its own X display (Xvfb) and its own Wine
# prefix, both under one folder, so test runs never disturb each other.
#   session.sh start DIR    start the display, make the prefix
#   session.sh stop DIR     end the session's Wine and display
# QV_SESSION_DISPLAY (for instance :0) names a display to use instead of an
# Xvfb of the session's own; DIR/display holds the one in use. WINEARCH=win32
# makes a 32-bit prefix; a prefix of another kind is made anew.
set -eu
command=$1 dir=$2

stop() {
    [ ! -d "$dir/prefix" ] || WINEPREFIX="$dir/prefix" wineserver -k 2>/dev/null || true
    [ ! -f "$dir/xvfb.pid" ] || kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid"
}

start() {
    stop
    mkdir -p "$dir"
    if [ -n "${QV_SESSION_DISPLAY:-}" ]; then
        echo "$QV_SESSION_DISPLAY" > "$dir/display"
    else
        : > "$dir/display"
        # Xvfb picks a free display number and tells it through descriptor 3.
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" >/dev/null 2>&1 &
        echo $! > "$dir/xvfb.pid"
        tries=0
        until [ -s "$dir/display" ]; do
            tries=$((tries + 1))
            [ $tries -le 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
            sleep 0.1
        done
    fi
    export WINEPREFIX="$dir/prefix" WINEDEBUG=-all DISPLAY="$(sed 's/^[0-9]/:&/' "$dir/display")" LC_ALL=C.UTF-8
    sh "$(dirname "$0")/../wine32.sh" prefix "$WINEPREFIX"
    # One Wine server, with Wine's own services, for the whole session: those
    # a test program started would hold its output open after it ended.
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1
    wineboot -i >/dev/null 2>&1
    # This Wine does not copy its own fonts into a new prefix: without Marlett
    # caption buttons show letters, without the bitmap MS Sans Serif a label
    # such as "Current Options : " no longer fits its line.
    for font in marlett.ttf sserife.fon; do
        cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    done
    # Without a window manager every dialog close would wait two seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crashing child must end, not wait in a debugger nobody sees.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
    # Without a Debugger value Wine still starts its own, whose crash dialog
    # would keep the crashed child, and the pipe it holds, alive.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

case $command in
    start) start ;;
    stop) stop ;;
    *) echo "usage: session.sh start|stop DIR" >&2; exit 2 ;;
esac
