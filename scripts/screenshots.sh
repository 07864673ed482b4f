#!/bin/sh
# Takes the README's screenshots of the program under Wine, each cropped to
# its window: docs/main-window.png, docs/log-window.png (a finished run of
# the stand-in decompiler), docs/batch-log.png (three help files in one go),
# docs/progress-box.png (over a run that prints a
# line and falls silent), docs/path-dialog.png, docs/options-dialog.png, and
# the main window at 200 %, docs/main-window-200.png. With a scale in dots
# per inch and a folder, it takes all six windows at that scale instead,
# into that folder.
#   scripts/screenshots.sh [BUILD_FOLDER [DPI FOLDER]]     (default build/win64)
# Builds nothing: the folder must hold Quorvantel.exe, standin.exe and
# pose.exe (docs/pose.cpp), which puts the program into each state and holds
# it there.
set -eu
cd "$(dirname "$0")/.."
[ $# -ne 2 ] || { echo "usage: screenshots.sh [BUILD_FOLDER [DPI FOLDER]]" >&2; exit 2; }
build=$(cd "${1:-build/win64}" && pwd)
for program in Quorvantel.exe standin.exe pose.exe; do
    [ -f "$build/$program" ] || { echo "no $build/$program: build the win64 preset first" >&2; exit 1; }
done

# A session of our own: its display, its prefix.
session="$build/screenshot-session"
scripts/wine/session.sh start "$session"
trap 'scripts/wine/session.sh stop "$session"' EXIT INT TERM
# The display as session.sh holds it: a number, or a name with its colon.
display=$(sed 's/^[0-9]/:&/' "$session/display")
pictures=docs
[ $# -lt 3 ] || pictures=$3
mkdir -p "$pictures"

shoot() {
    state=$1
    picture=$2
    printed="$session/$state.out"
    finished="$session/$state.done"
    rm -f "$printed" "$finished"
    # Wine reads a Unix path on drive Z: with forward slashes.
    scripts/wine/run.sh "$session" "$build/pose.exe" "$state" "Z:$finished" >"$printed" 2>>"$session/wine.log" &
    pose=$!
    tries=0
    until grep -q '^pose ' "$printed" 2>/dev/null; do
        tries=$((tries + 1))
        if [ $tries -gt 600 ] || ! kill -0 $pose 2>/dev/null; then
            echo "the program did not reach the state '$state'" >&2
            kill $pose 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
    geometry=$(sed -n 's/^pose //p' "$printed")
    import -display "$display" -window root -crop "$geometry" +repage "$pictures/$picture"
    : > "$finished"
    wait $pose
    echo "$pictures/$picture: $geometry"
}

# The scale for each program started: run.sh sets it in the session.
export QV_DPI=${2:-96}
shoot main main-window.png
shoot log log-window.png
shoot batch batch-log.png
shoot progress progress-box.png
shoot path path-dialog.png
shoot options options-dialog.png
if [ $# -lt 3 ]; then
    QV_DPI=192 shoot main main-window-200.png
fi
