#!/bin/sh
# Builds the benchmarks (build/bench, 64-bit, Release), runs them headless
# in a Wine session of their own and prints the table; bench/README.md says
# what each variant is and holds the latest figures.
#   sh scripts/bench.sh [REPEATS [startup [EARLIER_EXE]]]
#   sh scripts/bench.sh REPEATS realistic [OTHER_EXE...]
#   sh scripts/bench.sh REPEATS batch
# REPEATS: runs of each variant, default 5; "startup": the start-ups alone,
# of this build and, side by side with it, of EARLIER_EXE if given (another
# build of Quorvantel.exe); "realistic": the realistic run alone, 4 x REPEATS
# rounds, of this build and of each OTHER_EXE, taking turns; "batch": a batch
# of help files against the same runs of the stand-in alone, beside the
# realistic run.
set -eu
cd "$(dirname "$0")/.."
repeats=${1:-5}
only=${2:-}
earlier=""
[ "$only" != startup ] || earlier=${3:-}
build=$PWD/build/bench
session=$build/session

cmake --preset win64 -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quorvantel_bench
programs="quorvantel empty"
if [ -n "$earlier" ]; then
    cp "$earlier" "$build/Quorvantel-earlier.exe"
    programs="quorvantel earlier empty"
fi

sh scripts/wine/session.sh start "$session"
trap 'sh scripts/wine/session.sh stop "$session"' EXIT
trap 'exit 1' INT TERM
bench() { sh scripts/wine/run.sh "$session" "$build/quorvantel_bench.exe" "$@"; }

# The realistic run and the batch need no cold starts; the driver gives each
# copy of the program its settings file.
if [ "$only" = realistic ]; then
    shift 2
    others="" n=0
    for other in "$@"; do
        n=$((n + 1))
        cp "$other" "$build/Quorvantel-other$n.exe"
        others="$others Quorvantel-other$n.exe"
    done
    bench realistic $((4 * repeats)) $others
    exit 0
fi
if [ "$only" = batch ]; then
    bench batch "$repeats"
    exit 0
fi

# The program finds the stand-in through its settings file. Z: is the
# prefix's drive for the Unix root.
for settings in Quorvantel ${earlier:+Quorvantel-earlier}; do
    printf '[Config]\r\nDecoPath=Z:%s\r\n' "$(echo "$build/standin.exe" | tr / '\\')" \
        > "$build/$settings.ini"
done

# Cold starts: the session's Wine server (and every Wine process with it)
# is restarted before each one, so the program is the first to start. The
# clock runs from "wine" to the program's X window being mapped; a Windows
# program could not watch, as it would be the first start itself.
cold_start() {  # EXECUTABLE TITLE: prints milliseconds, or -1
    WINEPREFIX="$session/prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$session/prefix" wineserver -w
    start=$(date +%s%N)
    sh scripts/wine/run.sh "$session" "$build/$1" >/dev/null 2>&1 &
    polls=0
    until xwininfo -name "$2" 2>/dev/null | grep -q IsViewable; do
        sleep 0.01
        polls=$((polls + 1))
        [ $polls -lt 3000 ] || { echo -1; return; }
    done
    echo $((($(date +%s%N) - start) / 1000)) | sed 's/...$/.&/'
}

echo "Cold starts ($((2 * repeats)) of each) ..."
export DISPLAY="$(sed 's/^[0-9]/:&/' "$session/display")"
# Without a client of its own the X server resets whenever the last Wine
# process ends, and a start that comes during the reset finds no display.
xprop -root -spy >/dev/null 2>&1 &
x_client=$!
: > "$build/cold.txt"
i=0
while [ $i -lt $((2 * repeats)) ]; do
    order=$programs
    [ $((i % 2)) -eq 0 ] || order=$(echo "$programs" | tr ' ' '\n' | tac | tr '\n' ' ')
    for program in $order; do
        case $program in
            quorvantel) ms=$(cold_start Quorvantel.exe Quorvantel) ;;
            earlier) ms=$(cold_start Quorvantel-earlier.exe Quorvantel) ;;
            empty) ms=$(cold_start bench_empty_dialog.exe "Empty Dialog") ;;
        esac
        echo "$program $ms" >> "$build/cold.txt"
    done
    i=$((i + 1))
done
WINEPREFIX="$session/prefix" wineserver -k 2>/dev/null || true
WINEPREFIX="$session/prefix" wineserver -w
kill $x_client

if [ "$only" = startup ]; then
    bench startup "$repeats" ${earlier:+earlier}
    exit 0
fi
echo "Streaming, memory, warm starts and the realistic run (several minutes) ..."
bench table "$repeats"
